#pragma once
// Keeps every HTTP request of a test process on this machine: requests to
// 127.0.0.1, ::1 or localhost go straight to the tests' own servers, any
// other host is handed to a proxy address nobody listens on, so it fails at
// once, locally, without even a name lookup.

namespace testsupport {

void keepRequestsOnLoopback();

} // namespace testsupport
