#pragma once
// Settings-file groups of the network diagnosis, written by the tests.

#include <QByteArray>
#include <QStringList>

namespace testsupport {

// The group "serverHosts" pointing the six endpoints, in request order, at
// the given hosts (host:port), with a transfer time-out in seconds.
QByteArray serverHostsGroup(const QStringList &hosts, int timeoutSeconds);
// The same group pointing all six endpoints at a port of 127.0.0.1 that
// nobody listens on: every request fails at once.
QByteArray closedServerHostsGroup(int timeoutSeconds);
// The group "ipconfig" with one key per target, named 1, 2, ...
QByteArray addressGroup(const QStringList &targets);

} // namespace testsupport
