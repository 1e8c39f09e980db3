#pragma once
// Helpers shared by the tests of the Access application service.

#include "platform/access/Access.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace accesstest {

/// A temporary folder, removed with everything in it.
struct TempDir {
    std::filesystem::path Path;
    TempDir() {
        std::string Templ = (std::filesystem::temp_directory_path() / "qxaccess-XXXXXX").string();
        Path = mkdtemp(Templ.data());
    }
    ~TempDir() { std::filesystem::remove_all(Path); }
};

/// The names of a container's documents, in the container's order.
inline std::vector<std::string> Documents(msaccess::Application& App, const std::string& Container) {
    std::vector<std::string> Names;
    const auto& Docs = App.CurrentDB()->Containers(Container).Documents();
    for (int I = 0; I < Docs.Count(); ++I)
        Names.push_back(Docs.Item(I).Name());
    return Names;
}

/// The message of the automation error that Call raises; empty when it raises none.
template <class F>
std::string OleMessage(F&& Call) {
    try {
        Call();
    } catch (const EOleSysError& E) {
        return E.Message();
    }
    return {};
}

} // namespace accesstest
