// Linked into every program of the sanitizer build. LeakSanitizer finds
// pointers to live memory in the memory of every loaded module; a library
// unloaded before the check takes its statics with it. The Vulkan loader
// unloads its drivers when the Direct3D 12 probe destroys its instance, and
// lavapipe keeps a block it allocates once (under pthread_once) in such a
// static: the block was then reported as leaked from "<unknown module>",
// which no suppression can name. With every library kept mapped until the
// process ends, the check sees those pointers, and a real leak inside a
// library is reported with the library's name.

extern "C" int dlclose(void *)
{
    return 0;
}
