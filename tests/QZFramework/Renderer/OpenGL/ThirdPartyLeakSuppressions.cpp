// Mesa's software driver, LLVM and D-Bus (reached through SDL) keep allocations until the
// process ends; they are theirs, not ours. The driver is unloaded at exit, which would
// leave its frames nameless: GLTestSupport.h keeps it loaded so the names below match.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:swrast_dri.so\nleak:libLLVM-15.so\nleak:libdbus-1.so\nleak:libEGL_mesa.so\nleak:libGLX_mesa.so\n";
}
