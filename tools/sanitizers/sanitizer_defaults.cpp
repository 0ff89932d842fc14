// Linked into every sanitizer build (the tests, the tools, the fuzz target), so the options hold
// however a binary is started: from ctest, a script or by hand. Environment variables still
// override them.
//
// intercept_tls_get_addr=0: the runtime of GCC 12 / clang 14 mistakes some blocks of dynamic
// thread-local storage, which Mesa's driver threads use, for an old glibc's TLS header; the leak
// checker's stop-the-world tracer then reads garbage and crashes at exit, after a test passed.
// How often depends on memory layout, so one machine is green and the next red. Leak checking
// itself stays on.

extern "C" const char* __asan_default_options() { return "intercept_tls_get_addr=0"; }

extern "C" const char* __lsan_default_options() {
    return "intercept_tls_get_addr=0:print_suppressions=0";
}

// Allocations the Mesa GL driver keeps until the process ends. Only the driver's libraries are
// named: leaks in the project's own code are still reported. The D-Bus connection SDL's audio
// thread opens to raise its priority stays open until exit: SDL leaves dbus_shutdown to the
// application, and calling it is unsafe while others use D-Bus.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:swrast_dri.so\n"
           "leak:libLLVM-15.so\n"
           "leak:libGLX_mesa.so\n"
           "leak:libglapi.so\n"
           "leak:libdbus-1.so\n";
}

// Undefined behaviour fails the run, with the stack that led to it.
extern "C" const char* __ubsan_default_options() { return "halt_on_error=1:print_stacktrace=1"; }
