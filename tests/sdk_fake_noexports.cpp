// A shared library that is not a plug-in: it exports none of the plug-in entry points.
extern "C" __attribute__((visibility("default"))) int NotAPlugin() { return 1; }
