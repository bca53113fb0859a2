// A host that loads the plug-in module twice from two paths gets two window classes, one
// per copy, each registered and unregistered by its own editors.

#include "tools/wine-host/WineHost.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace tolvan::test {
namespace {

using OpenScene = void* (*)(HWND);
using CloseScene = void (*)(void*);

struct SceneModule {
    explicit SceneModule(const std::string& path) : module(LoadLibraryA(path.c_str()))
    {
        if (module != nullptr) {
            open = reinterpret_cast<OpenScene>(reinterpret_cast<void*>(GetProcAddress(module, "openScene")));
            close = reinterpret_cast<CloseScene>(reinterpret_cast<void*>(GetProcAddress(module, "closeScene")));
        }
    }
    ~SceneModule()
    {
        if (module != nullptr) FreeLibrary(module);
    }
    std::string className() const
    {
        char name[32];
        std::snprintf(name, sizeof name, "Plugin%p", static_cast<void*>(module));
        return name;
    }
    bool classRegistered() const
    {
        WNDCLASSA found;
        return GetClassInfoA(module, className().c_str(), &found) != 0;
    }
    HMODULE module;
    OpenScene open = nullptr;
    CloseScene close = nullptr;
};

std::string besideThisProgram(const char* file)
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string directory(path);
    return directory.substr(0, directory.find_last_of('\\') + 1) + file;
}

TEST(ModuleCopies, EachLoadedCopyOfTheModuleHasAClassOfItsOwn)
{
    const std::string original = besideThisProgram("wine_scene.dll");
    const std::string copy = besideThisProgram("wine_scene_copy.dll");
    ASSERT_TRUE(CopyFileA(original.c_str(), copy.c_str(), FALSE));
    {
        SceneModule first(original);
        SceneModule second(copy);
        ASSERT_TRUE(first.open && second.open);
        ASSERT_NE(first.module, second.module);

        HWND firstHost = createHostWindow(100, 100, 120, 60);
        HWND secondHost = createHostWindow(300, 100, 120, 60);
        void* firstScene = first.open(firstHost);
        void* secondScene = second.open(secondHost);
        char name[64] = {};
        GetClassNameA(childWindow(firstHost), name, sizeof name);
        EXPECT_EQ(name, first.className());
        GetClassNameA(childWindow(secondHost), name, sizeof name);
        EXPECT_EQ(name, second.className());
        EXPECT_NE(first.className(), second.className());

        first.close(firstScene);
        EXPECT_FALSE(first.classRegistered());
        EXPECT_TRUE(second.classRegistered()) << "one copy's editor closing took the other's class";
        second.close(secondScene);
        EXPECT_FALSE(second.classRegistered());
        DestroyWindow(firstHost);
        DestroyWindow(secondHost);
    }
    DeleteFileA(copy.c_str());
}

}  // namespace
}  // namespace tolvan::test
