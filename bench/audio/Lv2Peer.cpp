#include "bench/audio/Lv2Peer.h"

#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/core/lv2.h>
#include <lv2/options/options.h>
#include <lv2/parameters/parameters.h>
#include <lv2/urid/urid.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <map>

namespace peers {

namespace {

// Frees a node lilv handed over when it leaves scope.
struct OwnedNode {
    LilvNode* node;
    ~OwnedNode() { lilv_node_free(node); }
};

}  // namespace

Lv2World& Lv2World::shared()
{
    static Lv2World world;
    return world;
}

Lv2World::Lv2World() : world(lilv_world_new()) { lilv_world_load_all(world); }

Lv2World::~Lv2World() { lilv_world_free(world); }

void Lv2World::addBundle(const std::string& folder)
{
    const OwnedNode bundle{lilv_new_file_uri(world, nullptr, (folder + "/").c_str())};
    lilv_world_load_bundle(world, bundle.node);
}

const LilvPlugin* Lv2World::plugin(const std::string& uri) const
{
    const OwnedNode name{node(uri.c_str())};
    return lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world), name.node);
}

// What the instance's ports are connected to, and the features it was made with.
struct Lv2Instance::Ports {
    // URIDs as a host hands them out: one number per URI, from 1.
    std::map<std::string, LV2_URID> urids;
    std::vector<const std::string*> uris;
    LV2_URID_Map map{this, [](LV2_URID_Map_Handle h, const char* uri) { return static_cast<Ports*>(h)->urid(uri); }};
    LV2_URID_Unmap unmap{this, [](LV2_URID_Unmap_Handle h, LV2_URID id) -> const char* {
                             const auto& uris = static_cast<Ports*>(h)->uris;
                             return id >= 1 && id <= uris.size() ? uris[id - 1]->c_str() : nullptr;
                         }};
    int32_t minBlock = 1, maxBlock;
    float rate;
    std::vector<LV2_Options_Option> options;
    LV2_Feature mapFeature{LV2_URID__map, &map}, unmapFeature{LV2_URID__unmap, &unmap};
    LV2_Feature optionsFeature{LV2_OPTIONS__options, nullptr};
    LV2_Feature boundedFeature{LV2_BUF_SIZE__boundedBlockLength, nullptr};
    std::vector<const LV2_Feature*> features;

    // Every port's value (used by the control ports) and bounds (NaN where none).
    std::vector<float> controls, lower, upper;
    std::vector<uint32_t> audioIn, audioOut;
    // Atom inputs get an empty sequence, atom outputs room for what the plug-in reports,
    // both made afresh before each block.
    std::vector<std::vector<uint64_t>> atomIn, atomOut;
    // Audio-rate control inputs and any port of a kind unknown here: silence.
    std::vector<float> silence;

    Ports(double sampleRate, int block) : maxBlock(block), rate(static_cast<float>(sampleRate))
    {
        const LV2_URID intType = urid(LV2_ATOM__Int);
        options = {
            {LV2_OPTIONS_INSTANCE, 0, urid(LV2_BUF_SIZE__minBlockLength), sizeof(int32_t), intType, &minBlock},
            {LV2_OPTIONS_INSTANCE, 0, urid(LV2_BUF_SIZE__maxBlockLength), sizeof(int32_t), intType, &maxBlock},
            {LV2_OPTIONS_INSTANCE, 0, urid(LV2_BUF_SIZE__nominalBlockLength), sizeof(int32_t), intType, &maxBlock},
            {LV2_OPTIONS_INSTANCE, 0, urid(LV2_PARAMETERS__sampleRate), sizeof(float), urid(LV2_ATOM__Float), &rate},
            {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr}};
        optionsFeature.data = options.data();
        features = {&mapFeature, &unmapFeature, &optionsFeature, &boundedFeature, nullptr};
        silence.assign(static_cast<size_t>(block), 0.0f);
    }

    LV2_URID urid(const char* uri)
    {
        const auto [it, added] = urids.emplace(uri, static_cast<LV2_URID>(urids.size() + 1));
        if (added) uris.push_back(&it->first);
        return it->second;
    }

    bool offers(const char* feature) const
    {
        for (const LV2_Feature* f : features)
            if (f != nullptr && std::strcmp(f->URI, feature) == 0) return true;
        return false;
    }

    void resetAtoms()
    {
        for (auto& buffer : atomIn) {
            auto* sequence = reinterpret_cast<LV2_Atom_Sequence*>(buffer.data());
            sequence->atom = {sizeof(LV2_Atom_Sequence_Body), urid(LV2_ATOM__Sequence)};
            sequence->body = {0, 0};
        }
        for (auto& buffer : atomOut) {
            auto* atom = reinterpret_cast<LV2_Atom*>(buffer.data());
            *atom = {static_cast<uint32_t>(buffer.size() * sizeof(uint64_t) - sizeof(LV2_Atom)), urid(LV2_ATOM__Chunk)};
        }
    }
};

std::unique_ptr<Lv2Instance> Lv2Instance::load(const std::string& uri, const char* name, double rate, int maxBlock)
{
    const LilvPlugin* plugin = Lv2World::shared().plugin(uri);
    if (plugin == nullptr) {
        std::fprintf(stderr, "%s: no LV2 bundle has %s; skipped\n", name, uri.c_str());
        return nullptr;
    }
    std::unique_ptr<Lv2Instance> fx(new Lv2Instance(name, plugin, rate, maxBlock));
    LilvNodes* required = lilv_plugin_get_required_features(plugin);
    bool usable = true;
    LILV_FOREACH(nodes, i, required)
    {
        const char* feature = lilv_node_as_uri(lilv_nodes_get(required, i));
        if (!fx->ports->offers(feature)) {
            std::fprintf(stderr, "%s: needs %s, which this host does not offer; skipped\n", name, feature);
            usable = false;
        }
    }
    lilv_nodes_free(required);
    if (!usable) return nullptr;

    // Ports are sorted before the instance exists, so that its features are ready.
    Lv2World& world = Lv2World::shared();
    const OwnedNode audio{world.node(LV2_CORE__AudioPort)}, control{world.node(LV2_CORE__ControlPort)},
        input{world.node(LV2_CORE__InputPort)}, atom{world.node(LV2_ATOM__AtomPort)};
    const uint32_t count = lilv_plugin_get_num_ports(plugin);
    Ports& p = *fx->ports;
    p.controls.resize(count);
    p.lower.resize(count);
    p.upper.resize(count);
    lilv_plugin_get_port_ranges_float(plugin, p.lower.data(), p.upper.data(), p.controls.data());
    for (uint32_t k = 0; k < count; ++k) {
        const LilvPort* port = lilv_plugin_get_port_by_index(plugin, k);
        const bool in = lilv_port_is_a(plugin, port, input.node);
        if (lilv_port_is_a(plugin, port, audio.node)) (in ? p.audioIn : p.audioOut).push_back(k);
        // A control without a default starts at its lower bound, or at 0 without one.
        if (lilv_port_is_a(plugin, port, control.node) && std::isnan(p.controls[k]))
            p.controls[k] = std::isnan(p.lower[k]) ? 0.0f : p.lower[k];
    }
    if (p.audioIn.size() != 2 || p.audioOut.size() != 2) {
        std::fprintf(stderr, "%s: %zu audio inputs and %zu outputs, not a stereo effect; skipped\n", name,
                     p.audioIn.size(), p.audioOut.size());
        return nullptr;
    }

    fx->instance = lilv_plugin_instantiate(plugin, rate, p.features.data());
    if (fx->instance == nullptr) {
        std::fprintf(stderr, "%s: the plug-in made no instance at %.0f Hz; skipped\n", name, rate);
        return nullptr;
    }
    constexpr size_t atomWords = 8192 / sizeof(uint64_t);
    for (uint32_t k = 0; k < count; ++k) {
        const LilvPort* port = lilv_plugin_get_port_by_index(plugin, k);
        const bool in = lilv_port_is_a(plugin, port, input.node);
        if (lilv_port_is_a(plugin, port, audio.node)) continue;  // connected at each block
        if (lilv_port_is_a(plugin, port, control.node)) {
            lilv_instance_connect_port(fx->instance, k, &p.controls[k]);
        } else if (lilv_port_is_a(plugin, port, atom.node)) {
            auto& buffers = in ? p.atomIn : p.atomOut;
            buffers.emplace_back(atomWords);
            lilv_instance_connect_port(fx->instance, k, buffers.back().data());
        } else {
            lilv_instance_connect_port(fx->instance, k, p.silence.data());
        }
    }
    return fx;
}

Lv2Instance::Lv2Instance(const char* peer, const LilvPlugin* lv2Plugin, double rate, int maxBlock)
    : name(peer), plugin(lv2Plugin), ports(std::make_unique<Ports>(rate, maxBlock))
{
}

Lv2Instance::~Lv2Instance()
{
    if (instance == nullptr) return;
    if (active) lilv_instance_deactivate(instance);
    lilv_instance_free(instance);
}

const LilvPort* Lv2Instance::port(const char* symbol) const
{
    const OwnedNode text{lilv_new_string(Lv2World::shared().get(), symbol)};
    const LilvPort* found = lilv_plugin_get_port_by_symbol(plugin, text.node);
    if (found == nullptr) std::fprintf(stderr, "%s: no port '%s'; skipped\n", name.c_str(), symbol);
    return found;
}

bool Lv2Instance::set(const char* symbol, float value)
{
    const LilvPort* p = port(symbol);
    if (p == nullptr) return false;
    ports->controls[lilv_port_get_index(plugin, p)] = value;
    return true;
}

bool Lv2Instance::setToMaximum(const char* symbol)
{
    const LilvPort* p = port(symbol);
    if (p == nullptr) return false;
    const uint32_t k = lilv_port_get_index(plugin, p);
    if (std::isnan(ports->upper[k])) {
        std::fprintf(stderr, "%s: port '%s' has no upper bound; skipped\n", name.c_str(), symbol);
        return false;
    }
    ports->controls[k] = ports->upper[k];
    return true;
}

bool Lv2Instance::setByLabel(const char* symbol, const char* label)
{
    const LilvPort* p = port(symbol);
    if (p == nullptr) return false;
    LilvScalePoints* points = lilv_port_get_scale_points(plugin, p);
    bool found = false;
    LILV_FOREACH(scale_points, i, points)
    {
        const LilvScalePoint* point = lilv_scale_points_get(points, i);
        if (std::strncmp(lilv_node_as_string(lilv_scale_point_get_label(point)), label, std::strlen(label)) != 0)
            continue;
        ports->controls[lilv_port_get_index(plugin, p)] = lilv_node_as_float(lilv_scale_point_get_value(point));
        found = true;
        break;
    }
    lilv_scale_points_free(points);
    if (!found) std::fprintf(stderr, "%s: port '%s' has no value '%s'; skipped\n", name.c_str(), symbol, label);
    return found;
}

float Lv2Instance::minimum(const char* symbol) const
{
    const LilvPort* p = port(symbol);
    return p != nullptr ? ports->lower[lilv_port_get_index(plugin, p)] : std::numeric_limits<float>::quiet_NaN();
}

void Lv2Instance::activate()
{
    lilv_instance_activate(instance);
    active = true;
}

void Lv2Instance::process(float** in, float** out, int count)
{
    for (int c = 0; c < 2; ++c) {
        lilv_instance_connect_port(instance, ports->audioIn[static_cast<size_t>(c)], in[c]);
        lilv_instance_connect_port(instance, ports->audioOut[static_cast<size_t>(c)], out[c]);
    }
    ports->resetAtoms();
    lilv_instance_run(instance, static_cast<uint32_t>(count));
}

}  // namespace peers
