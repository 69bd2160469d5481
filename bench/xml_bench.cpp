// The XML reader next to tinyxml2 and pugixml, measured in the same run on
// the same texts, followed by a markdown table:
//   - parsing a generated configuration-like document of about 10 MB
//     (nested sections of elements with attributes, text, entities and
//     comments; the same bytes on every run), each parser building its tree;
//   - parsing the example logging configuration (about 3 KB) many times,
//     each time into a fresh tree that is destroyed again;
//   - writing the large document's tree back as indented text (ours ToXml,
//     tinyxml2's XMLPrinter, pugixml's save); the texts differ in their
//     indentation and line ends, so the ratios compare the times taken to
//     write the same tree;
//   - the heap that each tree holds per MB of input, from mallinfo2 (bytes
//     in use, mapped blocks included) before and after the parse, which
//     counts every library's blocks the same way whatever allocator it uses.
//
// Timings are wall-clock medians of several rounds; the cases are interleaved
// within a round so that a noisy neighbour slows all of them alike. Nothing
// here judges the figures: the targets are printed beside the ratios.
#include "xml/xml_node.h"

#include <malloc.h>
#include <pugixml.hpp>
#include <tinyxml2.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kRounds = 5;
constexpr std::size_t kLargeBytes = 10 * 1024 * 1024;
constexpr int kSmallParses = 5000;

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

[[noreturn]] void Fail(const std::string& message) {
    std::fprintf(stderr, "xml_bench: %s\n", message.c_str());
    std::exit(1);
}

std::string ReadText(const char* path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) Fail(std::string("cannot read ") + path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A small linear congruential generator: the document is the same on every
// machine and every run.
class Random {
public:
    std::uint32_t Next(std::uint32_t bound) {
        state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<std::uint32_t>(state_ >> 33) % bound;
    }

private:
    std::uint64_t state_ = 27;
};

// Sections of settings, groups of items and descriptions, indented by tabs,
// until the text reaches size bytes. Text appears only in elements without
// children, so the three trees hold the same content. No backslash occurs:
// our reader takes it as an escape, the peers do not.
std::string ConfigurationDocument(std::size_t size) {
    static const char* const kTypes[] = {"string", "int", "bool", "path"};
    static const char* const kWords[] = {"cache",   "timeout", "retry", "window", "server",
                                         "network", "backup",  "proxy", "locale", "update"};
    Random random;
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<configuration generator=\"xml_bench\" "
                      "version=\"3\">\n";
    for (std::uint32_t section = 0; out.size() < size; ++section) {
        const std::string id = std::to_string(section);
        out += "\t<!-- section " + id + " -->\n";
        out += "\t<section name=\"section-" + id + "\" enabled=\"" + (random.Next(2) ? "true" : "false") +
               "\" owner=\"team-" + std::to_string(random.Next(40)) + "\">\n";
        const std::uint32_t settings = 3 + random.Next(8);
        for (std::uint32_t s = 0; s < settings; ++s) {
            const char* word = kWords[random.Next(10)];
            const std::uint32_t type = random.Next(4);
            out += "\t\t<setting key=\"s" + id + "." + word + std::to_string(s) + "\" type=\"" + kTypes[type] + "\"";
            if (random.Next(3) == 0) out += " scope=\"machine\"";
            out += '>';
            switch (type) {
            case 0:
                out += std::string("The ") + word + " of section " + id;
                if (random.Next(4) == 0) out += " &amp; its &quot;mirror&quot;";
                break;
            case 1:
                out += std::to_string(random.Next(100000));
                break;
            case 2:
                out += random.Next(2) ? "true" : "false";
                break;
            default:
                out += "C:/Program Files/Zor/" + std::string(word) + "/data-" + std::to_string(random.Next(1000));
                break;
            }
            out += "</setting>\n";
        }
        out += "\t\t<group id=\"g" + id + "\">\n";
        const std::uint32_t items = 2 + random.Next(6);
        for (std::uint32_t i = 0; i < items; ++i) {
            out += "\t\t\t<item index=\"" + std::to_string(i) + "\" path=\"data/file-" +
                   std::to_string(random.Next(100000)) + ".dat\" size=\"" + std::to_string(random.Next(1 << 20)) +
                   "\"/>\n";
        }
        out += "\t\t</group>\n";
        out += "\t\t<description>Settings of section " + id + " &lt;generated&gt; for the benchmark</description>\n";
        out += "\t</section>\n";
    }
    out += "</configuration>\n";
    return out;
}

// Heap bytes in use, mapped blocks included.
std::size_t HeapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

// Each parser: parse into a tree that the object holds, write that tree,
// and destroy it.
class Ours {
public:
    void Parse(const std::string& text) {
        root_ = std::make_unique<XmlNode>();
        XmlParseOptions options;
        if (root_->Load(text.c_str(), options) == nullptr) Fail("our reader fails: " + options.errorText);
    }
    std::size_t Write() const {
        XmlWriteOptions options;
        return root_->ToXml(options).size();
    }
    void Reset() { root_.reset(); }

private:
    std::unique_ptr<XmlNode> root_;
};

class TinyXml {
public:
    void Parse(const std::string& text) {
        document_ = std::make_unique<tinyxml2::XMLDocument>();
        if (document_->Parse(text.c_str(), text.size()) != tinyxml2::XML_SUCCESS)
            Fail(std::string("tinyxml2 fails: ") + document_->ErrorStr());
    }
    std::size_t Write() const {
        tinyxml2::XMLPrinter printer;
        document_->Print(&printer);
        return static_cast<std::size_t>(printer.CStrSize());
    }
    void Reset() { document_.reset(); }

private:
    std::unique_ptr<tinyxml2::XMLDocument> document_;
};

class PugiXml {
public:
    void Parse(const std::string& text) {
        document_ = std::make_unique<pugi::xml_document>();
        const pugi::xml_parse_result result = document_->load_buffer(text.data(), text.size());
        if (!result) Fail(std::string("pugixml fails: ") + result.description());
    }
    std::size_t Write() const {
        StringWriter writer;
        document_->save(writer);
        return writer.text.size();
    }
    void Reset() { document_.reset(); }

private:
    struct StringWriter : pugi::xml_writer {
        std::string text;
        void write(const void* data, size_t size) override { text.append(static_cast<const char*>(data), size); }
    };
    std::unique_ptr<pugi::xml_document> document_;
};

// The timings of one parser over all rounds, and its tree's memory.
struct Figures {
    std::vector<double> largeParse, smallParses, write;
    double heapPerMegabyte = 0;
    std::size_t written = 0;
};

template <class Parser>
void Round(const std::string& large, const std::string& small, Figures& figures) {
    Parser parser;
    Clock::time_point start = Clock::now();
    parser.Parse(large);
    figures.largeParse.push_back(Seconds(start));
    start = Clock::now();
    figures.written = parser.Write();
    figures.write.push_back(Seconds(start));
    parser.Reset();

    start = Clock::now();
    for (int i = 0; i < kSmallParses; ++i) {
        Parser fresh;
        fresh.Parse(small);
    }
    figures.smallParses.push_back(Seconds(start));
}

template <class Parser>
double HeapPerMegabyte(const std::string& text) {
    Parser parser;
    const std::size_t before = HeapInUse();
    parser.Parse(text);
    const std::size_t after = HeapInUse();
    return static_cast<double>(after - before) / static_cast<double>(text.size());
}

double MegabytesPerSecond(std::size_t bytes, double seconds) { return bytes / seconds / 1e6; }

} // namespace

int main(int argc, char** argv) {
    const std::string small = ReadText(argc > 1 ? argv[1] : ZOR_EXAMPLE_CONFIGURATION);
    const std::string large = ConfigurationDocument(kLargeBytes);

    Figures ours, tiny, pugi;
    ours.heapPerMegabyte = HeapPerMegabyte<Ours>(large);
    tiny.heapPerMegabyte = HeapPerMegabyte<TinyXml>(large);
    pugi.heapPerMegabyte = HeapPerMegabyte<PugiXml>(large);
    for (int round = 0; round < kRounds; ++round) {
        std::fprintf(stderr, "round %d/%d\n", round + 1, kRounds);
        Round<Ours>(large, small, ours);
        Round<TinyXml>(large, small, tiny);
        Round<PugiXml>(large, small, pugi);
    }

    const double oursLarge = Median(ours.largeParse), tinyLarge = Median(tiny.largeParse),
                 pugiLarge = Median(pugi.largeParse);
    const double oursSmall = Median(ours.smallParses), tinySmall = Median(tiny.smallParses),
                 pugiSmall = Median(pugi.smallParses);
    const double oursWrite = Median(ours.write), tinyWrite = Median(tiny.write), pugiWrite = Median(pugi.write);

    std::printf("\nXML reader: a generated configuration document of %zu bytes and the example logging "
                "configuration (%zu bytes, %d parses into fresh trees per round), median of %d rounds. "
                "Ratios are ours against the peer: above 1 we are faster, or for memory, below 1 we hold "
                "less.\n\n",
                large.size(), small.size(), kSmallParses, kRounds);
    std::printf("| case | ours | tinyxml2 | pugixml | vs tinyxml2 | vs pugixml | target |\n"
                "|---|---|---|---|---|---|---|\n");
    std::printf("| parse 10 MB document | %.0f MB/s | %.0f MB/s | %.0f MB/s | %.2fx | %.2fx | >= 1.0x tinyxml2 "
                "(moonshot >= 0.5x pugixml) |\n",
                MegabytesPerSecond(large.size(), oursLarge), MegabytesPerSecond(large.size(), tinyLarge),
                MegabytesPerSecond(large.size(), pugiLarge), tinyLarge / oursLarge, pugiLarge / oursLarge);
    std::printf("| parse example configuration | %.0f /s | %.0f /s | %.0f /s | %.2fx | %.2fx | >= 1.0x tinyxml2 "
                "(moonshot >= 0.5x pugixml) |\n",
                kSmallParses / oursSmall, kSmallParses / tinySmall, kSmallParses / pugiSmall, tinySmall / oursSmall,
                pugiSmall / oursSmall);
    std::printf("| write 10 MB tree (indented) | %.0f MB/s | %.0f MB/s | %.0f MB/s | %.2fx | %.2fx | >= 1.0x "
                "tinyxml2 |\n",
                MegabytesPerSecond(ours.written, oursWrite), MegabytesPerSecond(tiny.written, tinyWrite),
                MegabytesPerSecond(pugi.written, pugiWrite), tinyWrite / oursWrite, pugiWrite / oursWrite);
    std::printf("| tree heap per input MB | %.2f MB | %.2f MB | %.2f MB | %.2fx | %.2fx | <= 1.0x tinyxml2 |\n\n",
                ours.heapPerMegabyte, tiny.heapPerMegabyte, pugi.heapPerMegabyte,
                ours.heapPerMegabyte / tiny.heapPerMegabyte, ours.heapPerMegabyte / pugi.heapPerMegabyte);
    return 0;
}
