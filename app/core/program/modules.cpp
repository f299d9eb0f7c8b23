// Loading the renderer and the window modules beside the program file.
#include "app/core/program/modules.h"

#include "app/core/program/kvr.h"

#include <dlfcn.h>

#include <cstdio>
#include <filesystem>

namespace app {

void* module_entry(const char* file, const char* symbol, std::string& why) {
    if (app_home_dir.empty()) {
        why = std::string("the program's folder, where ") + file + " is, is not known";
        return nullptr;
    }
    const std::string path = (std::filesystem::path(app_home_dir) / file).string();
    // Every symbol bound at once: a module that does not fit this program
    // file is refused here, not in the middle of a run.
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* err = dlerror();
        why = err != nullptr ? err : "cannot load " + path;
        return nullptr;
    }
    dlerror();
    void* entry = dlsym(handle, symbol);
    if (entry == nullptr) {
        why = path + " has no entry " + symbol;
        return nullptr;
    }
    return entry;  // the module stays loaded for the rest of the run
}

bool save_diagram_png_on_demand(Graph& graph, const std::string& path,
                                const std::string& project_file) {
    std::string why;
    void* entry = module_entry(DIAGRAMS_MODULE, DIAGRAMS_ENTRY, why);
    if (entry != nullptr) {
        reinterpret_cast<DiagramsEntry>(entry)();
        if (save_diagram_png != nullptr && save_diagram_png != save_diagram_png_on_demand)
            return save_diagram_png(graph, path, project_file);
        why = std::string(DIAGRAMS_MODULE) + " installed no image writer";
    }
    std::printf("Diagram '%s' not saved as %s: the renderer cannot be loaded: %s\n",
                graph.name.c_str(), path.c_str(), why.c_str());
    std::fflush(stdout);
    return false;
}

int run_window_module(int argc, char** argv, const std::vector<std::string>& files) {
    std::string why;
    void* entry = module_entry(WINDOW_MODULE, WINDOW_ENTRY, why);
    if (entry == nullptr) {
        std::fprintf(stderr, "kvr2: the window cannot be started: %s\n", why.c_str());
        return 1;
    }
    return reinterpret_cast<WindowEntry>(entry)(argc, argv, files);
}

}  // namespace app
