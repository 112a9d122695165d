// The body of every test main: starts the runtime's unit, pins the format
// settings to the invariant ones (so no result depends on the host's locale),
// runs the tests and shuts the units down.
#pragma once

int RunAllTests(int argc, char** argv);
