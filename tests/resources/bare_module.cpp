// A shared object that exports no Resources record.
extern "C" int zaz_bare_module_marker() { return 1; }
