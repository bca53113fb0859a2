// A minimal LV2 host for tests: loads the build's bundle through lilv, as hosts do, and
// runs one instance with its own audio and control buffers.
#pragma once

#include <lilv/lilv.h>
#include <lv2/core/lv2.h>

#include <memory>
#include <string>
#include <vector>

namespace lv2test {

inline constexpr char kPluginUri[] = "urn:tolvan:kr-tolvan";

// The lilv world with the build's bundle loaded, and the plug-in found in it.
class Lv2World {
public:
    Lv2World() : world(lilv_world_new())
    {
        LilvNode* bundle = lilv_new_file_uri(world, nullptr, TOLVAN_LV2_BUNDLE "/");
        lilv_world_load_bundle(world, bundle);
        lilv_node_free(bundle);
        LilvNode* uri = lilv_new_uri(world, kPluginUri);
        plugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world), uri);
        lilv_node_free(uri);
    }
    ~Lv2World() { lilv_world_free(world); }
    Lv2World(const Lv2World&) = delete;
    Lv2World& operator=(const Lv2World&) = delete;

    // Loaded once for the whole test program: lilv reads the Turtle only once.
    static Lv2World& shared()
    {
        static Lv2World* instance = new Lv2World();
        return *instance;
    }

    LilvNode* uri(const char* text) { return lilv_new_uri(world, text); }

    LilvWorld* world;
    const LilvPlugin* plugin = nullptr;
};

// One instance with a float for every control port, set to the port's default, and
// stereo audio buffers.
class Lv2Instance {
public:
    explicit Lv2Instance(double rate, const LV2_Feature* const* features = nullptr) : plugin(Lv2World::shared().plugin)
    {
        if (plugin == nullptr) return;
        instance = lilv_plugin_instantiate(plugin, rate, features);
        const uint32_t ports = lilv_plugin_get_num_ports(plugin);
        values.resize(ports);
        lilv_plugin_get_port_ranges_float(plugin, nullptr, nullptr, values.data());
        LilvNode* controlClass = Lv2World::shared().uri(LV2_CORE__ControlPort);
        for (uint32_t i = 0; i < ports; ++i) {
            if (lilv_port_is_a(plugin, lilv_plugin_get_port_by_index(plugin, i), controlClass)) controls.push_back(i);
        }
        lilv_node_free(controlClass);
    }
    ~Lv2Instance()
    {
        if (instance != nullptr) lilv_instance_free(instance);
    }
    Lv2Instance(const Lv2Instance&) = delete;
    Lv2Instance& operator=(const Lv2Instance&) = delete;

    bool valid() const { return instance != nullptr; }
    // The instance itself, as the host's instance access hands it to a user interface.
    LV2_Handle handle() const { return lilv_instance_get_handle(instance); }

    uint32_t index(const std::string& symbol) const
    {
        LilvNode* name = lilv_new_string(Lv2World::shared().world, symbol.c_str());
        const LilvPort* port = lilv_plugin_get_port_by_symbol(plugin, name);
        lilv_node_free(name);
        return port != nullptr ? lilv_port_get_index(plugin, port) : UINT32_MAX;
    }
    float& control(const std::string& symbol) { return values.at(index(symbol)); }

    // Connects every control port to its value.
    void connectControls()
    {
        for (uint32_t i : controls) lilv_instance_connect_port(instance, i, &values[i]);
    }
    void connect(uint32_t port, void* data) { lilv_instance_connect_port(instance, port, data); }
    void activate() { lilv_instance_activate(instance); }
    void deactivate() { lilv_instance_deactivate(instance); }

    // Runs count samples from the inputs into the outputs, all connected first.
    void run(const float* inLeft, const float* inRight, float* outLeft, float* outRight, uint32_t count)
    {
        connect(0, const_cast<float*>(inLeft));
        connect(1, const_cast<float*>(inRight));
        connect(2, outLeft);
        connect(3, outRight);
        lilv_instance_run(instance, count);
    }
    void run(uint32_t count) { lilv_instance_run(instance, count); }

    std::vector<float> values;

private:
    const LilvPlugin* plugin;
    std::vector<uint32_t> controls;
    LilvInstance* instance = nullptr;
};

}  // namespace lv2test
