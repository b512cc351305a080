#include "printers.h"

#include <algorithm>
#include <cstdio>

#include "code_page.h"
#include "script/text.h"

namespace {

// A JSON string of the text, converted from the script's code page to UTF-8.
std::string Quoted(const std::string& text, int codePage) {
    std::string out = "\"";
    for (char c : AnsiToUtf8(text, codePage)) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned char>(c));
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

} // namespace

std::string FindingsText(const std::vector<Finding>& findings, const std::string& scriptName) {
    std::string out;
    for (const Finding& f : findings) {
        out += scriptName;
        if (f.line > 0) out += ":" + std::to_string(f.line);
        out += f.severity == Severity::Error ? ": error: " : ": warning: ";
        out += f.message + " [" + f.rule + "]\n";
    }
    return out;
}

int ExitCode(const std::vector<Finding>& findings) {
    int code = 0;
    for (const Finding& f : findings) code = std::max(code, f.severity == Severity::Error ? 2 : 1);
    return code;
}

std::string PlanText(const std::vector<PlanAction>& plan, const std::string& heading) {
    std::string out = heading + "\n";
    int number = 0;
    for (const PlanAction& a : plan) {
        char head[32];
        std::snprintf(head, sizeof head, "%4d  %-15s ", ++number, a.kind.c_str());
        out += head + a.target;
        if (!a.name.empty()) out += "  [" + a.name + "]";
        if (a.kind == "file" || a.kind == "copy" || a.kind == "rename")
            out += "  <- " + a.value;
        else if (!a.value.empty())
            out += "  = " + OnOneLine(a.value);
        if (!a.note.empty()) out += "  (" + a.note + ")";
        out += "\n";
    }
    return out;
}

std::string PlanJson(const std::vector<PlanAction>& plan, const std::string& destDir, int codePage,
                     bool uninstall) {
    const auto Quoted = [codePage](const std::string& text) { return ::Quoted(text, codePage); };
    std::string out = std::string("{\"run\": \"") + (uninstall ? "uninstall" : "install") +
                      "\", \"destination\": " + Quoted(destDir) + ",\n \"actions\": [\n";
    for (size_t i = 0; i < plan.size(); ++i) {
        const PlanAction& a = plan[i];
        out += "  {\"kind\": " + Quoted(a.kind) + ", \"target\": " + Quoted(a.target) +
               ", \"name\": " + Quoted(a.name) + ", \"value\": " + Quoted(a.value) +
               ", \"note\": " + Quoted(a.note) + "}" + (i + 1 < plan.size() ? "," : "") + "\n";
    }
    return out + " ]}\n";
}
