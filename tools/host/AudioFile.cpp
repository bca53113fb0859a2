#include "tools/host/AudioFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <string_view>
#include <utility>
#include <vector>

#include "tools/host/AnonymousFile.h"
#include "tools/host/ToolError.h"

namespace {

constexpr std::pair<const char*, int> kContainers[] = {
    {"wav", SF_FORMAT_WAV},   {"aiff", SF_FORMAT_AIFF}, {"aif", SF_FORMAT_AIFF},
    {"flac", SF_FORMAT_FLAC}, {"ogg", SF_FORMAT_OGG},   {"w64", SF_FORMAT_W64},
};

// The container an output's extension names; 0 when it names none.
int containerOfExtension(const std::string& path)
{
    const std::string extension = extensionOf(path);
    std::vector<std::string> known;
    for (const auto& [name, container] : kContainers) {
        if (extension == name) return container;
        known.emplace_back(name);
    }
    refuseUnlessExtension(path, known);
    return 0;
}

int subtypeOf(SampleFormat format)
{
    switch (format) {
    case SampleFormat::Float: return SF_FORMAT_FLOAT;
    case SampleFormat::Pcm24: return SF_FORMAT_PCM_24;
    case SampleFormat::Pcm16: return SF_FORMAT_PCM_16;
    case SampleFormat::AsInput: break;
    }
    return 0;
}

const char* sampleFormatName(SampleFormat format)
{
    switch (format) {
    case SampleFormat::Float: return "32-bit float";
    case SampleFormat::Pcm24: return "24-bit";
    case SampleFormat::Pcm16: return "16-bit";
    case SampleFormat::AsInput: break;
    }
    return "these";
}

// The sample format a container takes when the input's does not fit it.
int fallbackSubtype(int container)
{
    switch (container) {
    case SF_FORMAT_FLAC: return SF_FORMAT_PCM_24;
    case SF_FORMAT_OGG: return SF_FORMAT_VORBIS;
    default: return SF_FORMAT_FLOAT;
    }
}

SF_INFO outputInfo(const std::string& path, int inputFormat, SampleFormat sampleFormat, int channels, int sampleRate)
{
    SF_INFO info{};
    info.channels = channels;
    info.samplerate = sampleRate;
    int container = containerOfExtension(path);
    if (container == 0) container = inputFormat & SF_FORMAT_TYPEMASK;
    const int asked = subtypeOf(sampleFormat);
    const int subtype = asked != 0 ? asked : inputFormat & SF_FORMAT_SUBMASK;
    info.format = container | subtype;
    if (sf_format_check(&info) == 0) {
        if (asked != 0) {
            throw ToolError(path + ": " + formatText(container) + " files cannot hold " +
                            sampleFormatName(sampleFormat) + " samples");
        }
        info.format = container | fallbackSubtype(container);
    }
    if (sf_format_check(&info) == 0) throw ToolError(path + ": cannot write this kind of audio file");
    return info;
}

// libsndfile's message without its decoration ("System error : File too large.").
std::string causeOf(SNDFILE* file)
{
    std::string cause = sf_strerror(file);
    constexpr std::string_view kSystem = "System error : ";
    if (cause.starts_with(kSystem)) cause.erase(0, kSystem.size());
    if (cause.ends_with('.')) cause.pop_back();
    return cause;
}

}  // namespace

std::string formatText(int format)
{
    SF_FORMAT_INFO container{};
    container.format = format & SF_FORMAT_TYPEMASK;
    std::string text =
        sf_command(nullptr, SFC_GET_FORMAT_INFO, &container, sizeof container) == 0 && container.name != nullptr
            ? container.name
            : "audio";
    SF_FORMAT_INFO subtype{};
    subtype.format = format & SF_FORMAT_SUBMASK;
    if (subtype.format != 0 && sf_command(nullptr, SFC_GET_FORMAT_INFO, &subtype, sizeof subtype) == 0 &&
        subtype.name != nullptr) {
        text += std::string(", ") + subtype.name;
    }
    return text;
}

AudioReader::AudioReader(const std::string& path) : path(path)
{
    if (path == "-") {
        // Standard input, whole, in a file that can be read twice: formats are told apart
        // by looking ahead, and some keep what a reader needs at their end.
        const int staged = createAnonymousFile("standard input");
        if (!copyToEnd(STDIN_FILENO, staged) || lseek(staged, 0, SEEK_SET) != 0) {
            close(staged);
            throw ToolError(std::string("standard input: cannot read: ") + std::strerror(errno));
        }
        file = sf_open_fd(staged, SFM_READ, &info, SF_TRUE);
    } else {
        struct stat status {};
        if (stat(path.c_str(), &status) != 0) throw ToolError(path + ": cannot read: " + std::strerror(errno));
        if (S_ISDIR(status.st_mode)) throw ToolError(path + ": cannot read: it is a folder");
        file = sf_open(path.c_str(), SFM_READ, &info);
    }
    if (file == nullptr) {
        const std::string cause = sf_strerror(nullptr);
        if (cause.find("System error") != std::string::npos) throw ToolError(path + ": cannot read: " + cause);
        throw ToolError(path + ": not an audio file that can be read (" + cause + ")");
    }
    if (info.channels > 2) {
        sf_close(file);
        file = nullptr;
        throw ToolError(path + ": has " + std::to_string(info.channels) +
                        " channels; only mono and stereo files can be processed");
    }
}

AudioReader::~AudioReader()
{
    if (file != nullptr) sf_close(file);
}

sf_count_t AudioReader::read(float* interleaved, sf_count_t count)
{
    const sf_count_t n = sf_readf_float(file, interleaved, count);
    if (n < count && sf_error(file) != SF_ERR_NO_ERROR) throw ToolError(path + ": cannot read: " + causeOf(file));
    return n;
}

sf_count_t AudioReader::skip(sf_count_t count)
{
    const sf_count_t at = sf_seek(file, 0, SEEK_CUR);
    if (at >= 0 && sf_seek(file, count, SEEK_CUR) >= 0) return count;
    if (at >= 0) sf_seek(file, at, SEEK_SET);
    std::vector<float> discarded(static_cast<std::size_t>(4096 * info.channels));
    sf_count_t passed = 0;
    while (passed < count) {
        const sf_count_t n = read(discarded.data(), std::min<sf_count_t>(4096, count - passed));
        if (n == 0) break;
        passed += n;
    }
    return passed;
}

AudioWriter::AudioWriter(const std::string& path, int inputFormat, SampleFormat sampleFormat, int channels,
                         int sampleRate)
    : info(outputInfo(path, inputFormat, sampleFormat, channels, sampleRate)), output(path)
{
    // The descriptor stays the output's, which checks its flush and close.
    file = sf_open_fd(output.descriptor(), SFM_WRITE, &info, SF_FALSE);
    if (file == nullptr) throw ToolError(path + ": cannot write: " + causeOf(nullptr));
    // Samples beyond full scale are clipped in integer files, never wrapped around.
    sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
}

AudioWriter::~AudioWriter()
{
    if (file != nullptr) sf_close(file);
}

void AudioWriter::write(const float* interleaved, sf_count_t count)
{
    // An integer sample has no way to say "not a number" or "infinite": libsndfile would
    // write a full-scale click, or for FLAC fail without a cause. The effect passes such
    // samples through from its input while no band is on.
    if (integerSamples()) {
        const auto samples = static_cast<std::size_t>(count * info.channels);
        for (std::size_t i = 0; i < samples; ++i) {
            if (std::isfinite(interleaved[i])) continue;
            const auto frame = framesWritten + static_cast<sf_count_t>(i) / info.channels;
            throw ToolError(output.path() + ": cannot write: the output's frame " + std::to_string(frame) +
                            " is not a finite number, which " + formatText(info.format) +
                            " cannot hold (.wav, .aiff or .w64 with --format float keep it)");
        }
    }
    if (sf_writef_float(file, interleaved, count) != count) {
        throw ToolError(output.path() + ": cannot write: " + causeOf(file));
    }
    framesWritten += count;
}

void AudioWriter::commit()
{
    const int result = sf_close(file);
    file = nullptr;
    if (result != 0) throw ToolError(output.path() + ": cannot write: " + sf_error_number(result));
    output.commit();
}

bool AudioWriter::integerSamples() const
{
    const int subtype = info.format & SF_FORMAT_SUBMASK;
    return subtype != SF_FORMAT_FLOAT && subtype != SF_FORMAT_DOUBLE && subtype != SF_FORMAT_VORBIS &&
           subtype != SF_FORMAT_OPUS;
}
