// tarn: runs a Tarn script from a file or the command line through the
// library's host interface, the way any host does.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "tarnproc.h"

namespace {

constexpr int kVariables = 2000;
constexpr std::size_t kHeapBytes = 65536;

void Usage(FILE* out) {
    std::fputs(
        "usage: tarn [options] SCRIPT [PARAM...]\n"
        "       tarn [options] -c TEXT [PARAM...]\n"
        "options:\n"
        "  --dump NAME[,NAME...]  print name=value of these variables after the run\n"
        "  --quiet[=LOG]          quiet mode: no boxes, messages appended to LOG\n"
        "  --ui qt|console|quiet  how message boxes and dialogs are shown (default: qt\n"
        "                         when a display is present, else console)\n"
        "  --answers A|B|...      answer boxes and dialogs from this list (ok, cancel,\n"
        "                         yes, no, text:WORDS, button:CAPTION, button#N,\n"
        "                         item:TEXT, item#N[,M...], file:PATH[;PATH...],\n"
        "                         dir:PATH; in a script-defined dialog type:NN=TEXT,\n"
        "                         click:NN, pick:NN=ENTRY, enter) instead of asking\n"
        "  --help, --version\n"
        "exit status: 0 script ended normally, 1 stopped on an error, 2 usage error\n",
        out);
}

// One parameter as a quoted word of the parameter line.
std::string Quote(const std::string& p) {
    std::string q = "\"";
    for (char c : p) {
        if (c == '"') q += '"';
        q += c;
    }
    return q + "\"";
}

struct Options {
    std::string script_file;
    std::string script_text;
    bool inline_text = false;
    std::vector<std::string> params;
    std::vector<std::string> dump;
    bool quiet = false;
    std::string quiet_log;
    std::string ui = "auto";
    std::string answers;
    bool scripted = false;
};

int Parse(int argc, char** argv, Options* o) {
    int i = 1;
    for (; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&](const char* name) -> const char* {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "tarn: %s needs a value\n", name);
                return nullptr;
            }
            return argv[++i];
        };
        if (a == "--help" || a == "-h") {
            Usage(stdout);
            return 0;
        } else if (a == "--version") {
            std::printf("tarn %s\n", TARN_VERSION_TEXT);
            return 0;
        } else if (a == "--dump") {
            const char* v = value("--dump");
            if (!v) return 2;
            std::stringstream ss(v);
            std::string name;
            while (std::getline(ss, name, ','))
                if (!name.empty()) o->dump.push_back(name);
        } else if (a == "--quiet") {
            o->quiet = true;
        } else if (a.rfind("--quiet=", 0) == 0) {
            o->quiet = true;
            o->quiet_log = a.substr(8);
        } else if (a == "--ui") {
            const char* v = value("--ui");
            if (!v) return 2;
            o->ui = v;
            if (o->ui != "console" && o->ui != "quiet" && o->ui != "qt") {
                std::fprintf(stderr, "tarn: unknown --ui '%s'\n", v);
                return 2;
            }
        } else if (a == "--answers") {
            const char* v = value("--answers");
            if (!v) return 2;
            o->answers = v;
            o->scripted = true;
        } else if (a == "-c") {
            const char* v = value("-c");
            if (!v) return 2;
            o->script_text = v;
            o->inline_text = true;
        } else if (a == "--") {
            ++i;
            break;
        } else if (a.size() > 1 && a[0] == '-') {
            std::fprintf(stderr, "tarn: unknown option '%s'\n", a.c_str());
            return 2;
        } else {
            break;
        }
    }
    if (!o->inline_text) {
        if (i >= argc) {
            Usage(stderr);
            return 2;
        }
        o->script_file = argv[i++];
    }
    for (; i < argc; ++i) o->params.push_back(argv[i]);
    return -1;
}

// The library's questions to the host: object access is allowed (request
// -2); the host has no functions of its own.
intptr_t HostCallback(TarnHandle, TarnHandle, intptr_t, intptr_t request, TarnViperAnswer answer, TarnAnswer* record,
                      void*, const char*, const char*, const char*, const char*, const char*) {
    if (request == TARN_CB_OBJECTS) return answer(0, 0, record, 0, 1, nullptr);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    if (const int r = Parse(argc, argv, &o); r >= 0) return r;

    std::string text = o.script_text;
    if (!o.inline_text) {
        std::ifstream in(o.script_file, std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "tarn: cannot read %s\n", o.script_file.c_str());
            return 2;
        }
        text.assign(std::istreambuf_iterator<char>(in), {});
    }
    // "#!" first line: made a comment, so offsets in the text stay as written.
    if (text.rfind("#!", 0) == 0) text[0] = ';';

    if (o.scripted) TarnSelectUi("scripted", o.answers.c_str());
    else TarnSelectUi(o.ui.c_str(), nullptr);

    const intptr_t size = DoDaDllInit(0, 0, TARN_INTERFACE_WORD, 0, 0, nullptr, nullptr);
    if (size <= 0) return 1;
    const TarnHandle ctx = GlobalAlloc(GHND, static_cast<size_t>(size));
    const TarnHandle vars = GlobalAlloc(GHND, kVariables * sizeof(VariableEntry));
    const TarnHandle heap = GlobalAlloc(GHND, kHeapBytes);
    const TarnHandle script = GlobalAlloc(GHND, text.size() + 1);
    if (!ctx || !vars || !heap || !script) {
        std::fprintf(stderr, "tarn: out of memory\n");
        return 1;
    }
    if (DoDaDllInit(0, ctx, 0, 1, 0, "tarn", nullptr) == 0 ||
        DoDaDllInit(0, ctx, vars, 2, kVariables, nullptr, nullptr) == 0 ||
        DoDaDllInit(0, ctx, heap, 3, static_cast<intptr_t>(kHeapBytes), nullptr, nullptr) == 0) {
        std::fprintf(stderr, "tarn: the script processor could not be initialised\n");
        return 1;
    }
    if (o.quiet || o.ui == "quiet") DLLServices(ctx, 23, o.quiet_log.c_str(), nullptr, 1, 0);

    std::string params;
    for (const std::string& p : o.params) params += (params.empty() ? "" : " ") + Quote(p);
    DLLServices(ctx, 11, params.c_str(), nullptr, 0, 0);

    char* buffer = static_cast<char*>(GlobalLock(script));
    std::memcpy(buffer, text.data(), text.size());
    buffer[text.size()] = 0;
    GlobalUnlock(script);

    int status = 0;
    if (ProcessDaBatBuffer(0, ctx, script, HostCallback, nullptr) == 0) {
        std::fprintf(stderr, "tarn: the script could not be run\n");
        status = 1;
    } else {
        int code = 0;
        char message[300];
        if (TarnLastOutcome(ctx, &code, message, sizeof message) == 0) {
            std::fprintf(stderr, "error %d: %s\n", code, message);
            unsigned line = 0;
            char script_name[300], stop_text[300];
            if (TarnLastStop(ctx, &line, script_name, sizeof script_name, stop_text, sizeof stop_text)) {
                if (script_name[0]) std::fprintf(stderr, "  at line %u of %s: %s\n", line, script_name, stop_text);
                else std::fprintf(stderr, "  at line %u: %s\n", line, stop_text);
            }
            status = 1;
        }
    }

    for (const std::string& name : o.dump) {
        std::vector<char> value(65536);
        if (DLLServices(ctx, 2, name.c_str(), value.data(), static_cast<intptr_t>(value.size()), 0))
            std::printf("%s=%s\n", name.c_str(), value.data());
        else std::printf("%s=<undefined>\n", name.c_str());
    }
    std::fflush(stdout);

    DoDaDllInit(0, ctx, 0, 99, 0, nullptr, nullptr);
    GlobalFree(script);
    GlobalFree(heap);
    GlobalFree(vars);
    GlobalFree(ctx);
    return status;
}
