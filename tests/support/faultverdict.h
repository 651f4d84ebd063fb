#pragma once
// What every fault case holds an action run to, beside its own findings:
// it ended within its bound, the window is idle again, and nothing outside
// the tool's own folders was touched.

#include <QByteArray>
#include <QString>
#include <QStringList>

class QWidget;

namespace testsupport {

class Sandbox;
struct BoundedRun;

// Every broken promise of the run, in words; empty when it kept them all.
QStringList brokenPromises(const QWidget &window, const BoundedRun &run, const Sandbox &sandbox);

// The group "serverHosts" pointing all six endpoints at a port on
// 127.0.0.1 that nobody listens on: every request fails at once, and no
// request ever leaves the machine.
QByteArray unreachableServerHosts();

// The text of every report file under logs/SupportTool, one after the other.
QString allReportsText();

} // namespace testsupport
