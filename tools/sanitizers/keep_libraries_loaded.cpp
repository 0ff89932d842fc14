// Linked only into sanitizer builds. The GL driver unloads its libraries at exit, after which
// LeakSanitizer reports the driver's own allocations as "<unknown module>" and no suppression by
// library name can match them. Keeping every library loaded lets the reports name the driver.
extern "C" int dlclose(void*) { return 0; }
