// libjack keeps the allocations of its metadata database when a client cannot connect
// while a JACK server starts or stops (as the transport test's own server does beside
// the other tests). They are libjack's, not ours: LeakSanitizer is told to skip them.
extern "C" const char* __lsan_default_suppressions() { return "leak:libdb-5.3.so\nleak:libjack.so\n"; }
