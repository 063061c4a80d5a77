// Stand-in for the sound library the gauges bind by name. It plays
// nothing; it counts what it is asked so tests can see the calls arrive.
#if defined(_WIN32)
#define SOUND_EXPORT extern "C" __declspec(dllexport)
#define SOUND_API __stdcall
#else
#define SOUND_EXPORT extern "C" __attribute__((visibility("default")))
#define SOUND_API
#endif

namespace {
int terminate_calls = 0;
}

SOUND_EXPORT int SOUND_API GaugePlaySound(const char* /*file*/, const char* /*name*/, int /*flags*/) { return 0; }
SOUND_EXPORT int SOUND_API GaugeStopSound(const char* /*name*/) { return 0; }
SOUND_EXPORT int SOUND_API TerminateSounds() { return ++terminate_calls; }
// Not part of the library's interface: lets the host's tests read the count.
SOUND_EXPORT int SOUND_API StandInTerminateCount() { return terminate_calls; }
