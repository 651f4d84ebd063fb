#pragma once
// The forms whose place in a text decides whether they are a personal
// value, judged from the bytes around them:
// - a dotted number after a version label is a version, not an IPv4
//   address or a MAC address ("v1.2.3.4", "Version 5.15.2.0",
//   "FileVersion: 1.0.0.12", "ver 10.1.1.1");
// - twelve hex digits without separators are a MAC address only after a
//   MAC label ("Physical Address", "MAC", "ether", "HWaddr", "lladdr");
// - an IPv6 form with "::" and no decimal digit is a C++ scope name
//   ("Feed::Add", "Cafe::Dead"), not an address.

#include <QtGlobal>

namespace valuecontext {

// How far before a value its context is read: the cleaning keeps this
// much of a text before each of its pieces.
constexpr qsizetype kLookbehind = 64;

// Whether the number beginning at text[pos] follows a version label: "v"
// or "ver" as a word of its own (or "v" glued to the number), or a word
// ending in "version", in any case, with at most three blanks, tabs, ":"
// or "=" between. Reads at most kLookbehind bytes before pos.
bool followsVersionLabel(const char *text, qsizetype pos);

// Whether the value beginning at text[pos] follows a MAC label, in any
// case and not glued to a letter before it: "physical address", "mac",
// "mac address" (also "mac-address", "mac_address", "macaddress"),
// "ether", "hwaddr", "lladdr", with blanks, tabs, dots, ":", "=" or quotes
// between (ipconfig's dot leader included). Reads at most kLookbehind
// bytes before pos.
bool followsHardwareLabel(const char *text, qsizetype pos);

// Whether text[start, end), a form parseIpv6 takes, is a C++ scope name
// rather than an address: it has "::" and no decimal digit.
bool isScopeName(const char *text, qsizetype start, qsizetype end);

} // namespace valuecontext
