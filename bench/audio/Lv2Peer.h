// An LV2 plug-in loaded as an LV2 host loads it, through lilv: found by URI among the
// installed bundles (and any bundle named), instantiated with the features an equaliser
// may ask for, every port connected, set up by port symbol and run block by block.
#pragma once

#include <lilv/lilv.h>

#include <memory>
#include <string>
#include <vector>

namespace peers {

// The lilv world of the program: every installed bundle, and the ones added by name.
class Lv2World {
public:
    static Lv2World& shared();
    ~Lv2World();
    Lv2World(const Lv2World&) = delete;
    Lv2World& operator=(const Lv2World&) = delete;

    // Loads a bundle from a folder, beside the installed ones.
    void addBundle(const std::string& folder);
    // The plug-in with this URI, or null when no bundle has it.
    const LilvPlugin* plugin(const std::string& uri) const;
    LilvNode* node(const char* uri) const { return lilv_new_uri(world, uri); }
    LilvWorld* get() const { return world; }

private:
    Lv2World();
    LilvWorld* world;
};

// One instance with stereo audio, every control port at its default until set, and empty
// event buffers where the plug-in has atom ports.
class Lv2Instance {
public:
    // Null, with the reason written to stderr, when the plug-in is not installed, is not a
    // stereo effect or needs a feature this host does not offer.
    static std::unique_ptr<Lv2Instance> load(const std::string& uri, const char* name, double rate, int maxBlock);
    ~Lv2Instance();
    Lv2Instance(const Lv2Instance&) = delete;
    Lv2Instance& operator=(const Lv2Instance&) = delete;

    // Each answers false, with the reason written to stderr, when the plug-in has no such
    // port (or scale point): the set-up then does not describe this plug-in.
    bool set(const char* symbol, float value);
    bool setToMaximum(const char* symbol);
    // Sets the port to the value of its first scale point whose label starts with label.
    bool setByLabel(const char* symbol, const char* label);
    // The port's lower bound, or NaN without such a port.
    float minimum(const char* symbol) const;

    void activate();
    void process(float** in, float** out, int count);

private:
    struct Ports;
    Lv2Instance(const char* name, const LilvPlugin* plugin, double rate, int maxBlock);
    const LilvPort* port(const char* symbol) const;

    std::string name;
    const LilvPlugin* plugin;
    LilvInstance* instance = nullptr;
    bool active = false;
    std::unique_ptr<Ports> ports;
};

}  // namespace peers
