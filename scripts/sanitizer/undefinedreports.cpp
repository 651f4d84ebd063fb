// Linked into every program of the sanitizer build. The undefined-behaviour
// runtime sits beside the address runtime there and ignores log_path, so its
// reports would only reach standard error, which a test does not see for
// the processes the tool starts (the stand-in shells' errors become report
// records). This sends them to SANITIZER_UNDEFINED_REPORTS + ".name.pid"
// instead, where the sanitizer script looks after the run.

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

std::string programName()
{
    char name[64] = {};
    if (std::FILE *comm = std::fopen("/proc/self/comm", "r")) {
        if (std::fgets(name, sizeof(name), comm))
            name[std::strcspn(name, "\n")] = '\0';
        std::fclose(comm);
    }
    return name[0] ? name : "unknown";
}

__attribute__((constructor)) void routeUndefinedBehaviourReports()
{
    const char *prefix = std::getenv("SANITIZER_UNDEFINED_REPORTS");
    if (!prefix || !*prefix)
        return;
    void *runtime = dlopen("libubsan.so.1", RTLD_NOW | RTLD_NOLOAD);
    if (!runtime)
        return;
    using SetReportPath = void (*)(const char *);
    if (auto setReportPath = reinterpret_cast<SetReportPath>(dlsym(runtime, "__sanitizer_set_report_path"))) {
        // The runtime keeps its own copy and adds ".pid".
        const std::string path = std::string(prefix) + "." + programName();
        setReportPath(path.c_str());
    }
    dlclose(runtime);
}

} // namespace
