// travex-manpage: the manual page travex-host(1), made from what `travex-host --help` and
// `travex-host COMMAND --help` print, so that the page and the help never disagree. Sections
// that the help has no place for (files, examples) come from a roff file appended as it is.
//
//   travex-manpage HOST VERSION DATE TAIL OUTPUT
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

// One line of a help section: "  -o,--output FILE   Write ...".
struct HelpEntry {
    std::string name;  // "-o,--output FILE"
    std::string text;
};

struct HelpSection {
    std::string title;  // "Options", "Positionals", "Subcommands"
    std::vector<HelpEntry> entries;
};

struct HelpPage {
    std::string description;
    std::string usage;  // after "Usage: "
    std::vector<HelpSection> sections;
};

std::string Trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// The help's layout: a description, "Usage: ...", then sections whose title ends in ':' with
// entries indented by two spaces, the name and its text apart by two or more spaces; a text
// that does not fit beside a long name stands on the next line, indented further.
HelpPage ParseHelp(const std::string& help) {
    HelpPage page;
    std::istringstream lines(help);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.empty()) continue;
        if (line.rfind("Usage: ", 0) == 0) {
            page.usage = line.substr(7);
        } else if (line[0] != ' ' && line.back() == ':' && !page.usage.empty()) {
            page.sections.push_back({line.substr(0, line.size() - 1), {}});
        } else if (page.sections.empty()) {
            page.description += (page.description.empty() ? "" : " ") + Trimmed(line);
        } else if (line.rfind("    ", 0) == 0 && !page.sections.back().entries.empty()) {
            std::string& text = page.sections.back().entries.back().text;
            text += (text.empty() ? "" : " ") + Trimmed(line);
        } else {
            const size_t gap = line.find("  ", 2);
            page.sections.back().entries.push_back(
                {Trimmed(line.substr(0, gap)),
                 gap == std::string::npos ? "" : Trimmed(line.substr(gap))});
        }
    }
    return page;
}

// Text as roff shows it literally: backslashes, minus signs (not hyphens, so that options can
// be copied), and no line taken for a request.
std::string Roff(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\\')
            out += "\\e";
        else if (c == '-')
            out += "\\-";
        else
            out += c;
    }
    if (!out.empty() && (out[0] == '.' || out[0] == '\'')) out.insert(0, "\\&");
    return out;
}

// "-o,--output FILE REQUIRED": the names in bold, the value's type in italics, the rest plain.
std::string EntryName(const HelpEntry& entry, bool positional) {
    const size_t space = entry.name.find(' ');
    const std::string names = entry.name.substr(0, space);
    std::string out;
    if (positional) {
        out = "\\fI" + Roff(names) + "\\fR";
    } else {
        std::istringstream each(names);
        std::string name;
        while (std::getline(each, name, ',')) {
            out += (out.empty() ? "\\fB" : ", \\fB") + Roff(name) + "\\fR";
        }
    }
    if (space == std::string::npos) return out;
    const std::string rest = entry.name.substr(space + 1);
    const size_t typeEnd = rest.find(' ');
    out += " \\fI" + Roff(rest.substr(0, typeEnd)) + "\\fR";
    if (typeEnd != std::string::npos) out += " " + Roff(rest.substr(typeEnd + 1));
    return out;
}

// "travex-host translate [OPTIONS] [motion]" with the program and the command in bold.
std::string Usage(const std::string& usage) {
    size_t words = usage.find(" [");
    if (words == std::string::npos) words = usage.find(' ');
    if (words == std::string::npos) return "\\fB" + Roff(usage) + "\\fR";
    return "\\fB" + Roff(usage.substr(0, words)) + "\\fR" + Roff(usage.substr(words));
}

void WriteEntries(std::ostream& out, const HelpSection& section) {
    for (const HelpEntry& entry : section.entries) {
        out << ".TP\n"
            << EntryName(entry, section.title == "Positionals") << "\n"
            << Roff(entry.text) << "\n";
    }
}

const HelpSection* Section(const HelpPage& page, const std::string& title) {
    for (const HelpSection& section : page.sections) {
        if (section.title == title) return &section;
    }
    return nullptr;
}

// What the program prints on standard output; false when it cannot be run or fails.
bool Output(const std::string& command, std::string& text) {
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return false;
    char buffer[4096];
    size_t read;
    while ((read = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, read);
    return pclose(pipe) == 0;
}

std::string ShellQuoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 6) {
        std::cerr << "usage: travex-manpage HOST VERSION DATE TAIL OUTPUT\n";
        return 2;
    }
    const std::string host = ShellQuoted(argv[1]);
    std::string help;
    if (!Output(host + " --help", help)) {
        std::cerr << "travex-manpage: " << argv[1] << " --help failed\n";
        return 1;
    }
    const HelpPage main = ParseHelp(help);
    std::ostringstream page;
    page << ".TH TRAVEX\\-HOST 1 \"" << argv[3] << "\" \"travex\\-host " << argv[2]
         << "\" \"User Commands\"\n";
    // The whatis line: the description up to its first clause.
    const std::string summary = main.description.substr(0, main.description.find_first_of(":."));
    page << ".SH NAME\ntravex\\-host \\- " << Roff(summary) << "\n";

    std::vector<HelpPage> commands;
    const HelpSection* subcommands = Section(main, "Subcommands");
    for (const HelpEntry& command : subcommands ? subcommands->entries : std::vector<HelpEntry>{}) {
        std::string text;
        if (!Output(host + " " + ShellQuoted(command.name) + " --help", text)) {
            std::cerr << "travex-manpage: " << argv[1] << " " << command.name << " --help failed\n";
            return 1;
        }
        commands.push_back(ParseHelp(text));
    }

    page << ".SH SYNOPSIS\n.nf\n" << Usage(main.usage) << "\n";
    for (const HelpPage& command : commands) page << Usage(command.usage) << "\n";
    page << ".fi\n.SH DESCRIPTION\n" << Roff(main.description) << "\n.SH OPTIONS\n";
    if (const HelpSection* options = Section(main, "Options")) WriteEntries(page, *options);
    page << ".SH COMMANDS\n";
    for (size_t i = 0; i < commands.size(); ++i) {
        page << ".SS " << Roff(subcommands->entries[i].name) << "\n"
             << Roff(commands[i].description) << "\n.PP\n"
             << Usage(commands[i].usage) << "\n";
        for (const HelpSection& section : commands[i].sections) WriteEntries(page, section);
    }

    std::ifstream tail(argv[4]);
    if (!tail) {
        std::cerr << "travex-manpage: cannot read " << argv[4] << "\n";
        return 1;
    }
    page << tail.rdbuf();
    std::ofstream output(argv[5], std::ios::binary);
    output << page.str();
    output.close();
    if (!output) {
        std::cerr << "travex-manpage: cannot write " << argv[5] << "\n";
        std::remove(argv[5]);
        return 1;
    }
    return 0;
}
