#include "model/TreeExport.h"

#include <unordered_set>
#include <unordered_map>

#include "model/Locale.h"
#include "model/MivoModel.h"
#include "model/MivoStr.h"
#include "model/SafeFile.h"
#include "model/Utils.h"

namespace mivo {

namespace {

// A GML string: 7-bit text between double quotes, where '&', '"' and every
// character beyond ASCII are written as character entities.
std::string GmlString(const std::string& text) {
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size();) {
        auto b = static_cast<unsigned char>(text[i]);
        if (b == '"') {
            out += "&quot;";
        } else if (b == '&') {
            out += "&amp;";
        } else if (b < 0x80) {
            out += static_cast<char>(b);
        } else {
            std::size_t len = (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : (b & 0xF8) == 0xF0 ? 4 : 1;
            char32_t c = len == 2 ? (b & 0x1F) : len == 3 ? (b & 0x0F) : (b & 0x07);
            bool valid = len > 1 && i + len <= text.size();
            for (std::size_t k = 1; valid && k < len; ++k) {
                auto cont = static_cast<unsigned char>(text[i + k]);
                valid = (cont & 0xC0) == 0x80;
                c = (c << 6) | (cont & 0x3F);
            }
            // A byte that is not UTF-8 is taken as the Latin-1 character.
            if (!valid) {
                len = 1;
                c = b;
            }
            out += "&#" + std::to_string(static_cast<unsigned long>(c)) + ";";
            i += len;
            continue;
        }
        ++i;
    }
    return out + "\"";
}

// Control characters (tabs and line breaks among them) become blanks.
std::string OneLine(std::string text) {
    for (char& c : text)
        if (static_cast<unsigned char>(c) < ' ') c = ' ';
    return text;
}

void WriteLines(const std::string& file_name, const std::vector<std::string>& lines) {
    TSafeFileWriter out(file_name);
    for (const std::string& line : lines) {
        out.Write(line);
        out.Write("\n");
    }
    out.Commit();
}

}  // namespace

std::vector<std::string> GmlLines(const TMivoModel& model) {
    std::vector<TMivoAttribute*> attributes = model.Attributes();

    // Identifiers: the name, or name_1, name_2, ... when it is taken
    // (compared without regard to case).
    std::unordered_set<std::string> taken;
    std::unordered_map<const TMivoAttribute*, std::string> ids;
    for (const TMivoAttribute* a : attributes) {
        std::string id = a->GetName();
        for (int n = 1; taken.count(FoldCase(id)); ++n) id = a->GetName() + "_" + std::to_string(n);
        taken.insert(FoldCase(id));
        ids.emplace(a, id);
    }

    std::vector<std::string> lines{"graph ["};
    for (const TMivoAttribute* a : attributes) {
        if (a->Link()) continue;
        lines.push_back("node [");
        lines.push_back(" id " + GmlString(ids[a]));
        lines.push_back(" label " + GmlString(a->GetName()));
        lines.push_back("]");
    }
    for (const TMivoAttribute* a : attributes) {
        for (int i = 0; i < a->InpCount(); ++i) {
            const TMivoAttribute* input = a->Inputs(i);
            const TMivoAttribute* target = input->Link() ? input->Link() : input;
            auto it = ids.find(target);
            std::string target_id = it != ids.end() ? it->second : target->GetName();
            lines.push_back("edge [");
            lines.push_back(" source " + GmlString(ids[a]));
            lines.push_back(" target " + GmlString(target_id));
            lines.push_back("]");
        }
    }
    lines.push_back("]");
    return lines;
}

void ExportGml(const TMivoModel& model, const std::string& file_name) { WriteLines(file_name, GmlLines(model)); }

std::vector<std::string> TreeLines(const TMivoModel& model) {
    std::vector<std::string> lines;
    model.ForEachAttribute([&](TMivoAttribute* a) {
        char kind = a->IsAggregate() ? '*' : a->Link() ? '>' : ':';
        std::string scale = a->Scale() ? a->Scale()->ScaleString() : MivoStr::SUndefined;
        lines.push_back(StrOfChar(a->Level() - 1, ' ') + OneLine(a->GetName()) + '\t' + kind + '\t' +
                        OneLine(scale) + '\t' + OneLine(a->GetDescription()));
    });
    return lines;
}

void ExportTree(const TMivoModel& model, const std::string& file_name) { WriteLines(file_name, TreeLines(model)); }

}  // namespace mivo
