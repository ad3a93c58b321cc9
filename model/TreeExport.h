// One-way exports of a model's attribute tree: a graph in GML for
// graph-drawing tools, and an indented tab-separated listing of the
// attributes with their kinds, scales and descriptions. Both visit the
// attributes below the root in pre-order and write through the safe file
// writer, each line ended by LF.
#pragma once

#include <string>
#include <vector>

namespace mivo {

class TMivoModel;

// The lines of the GML graph: nodes for the attributes without a link,
// edges from each attribute to its inputs (to the link target of a linked
// input). GML files are 7-bit text: '"', '&' and every character beyond
// ASCII in a name are written as character entities ("&quot;", "&amp;",
// "&#269;"), so the strings stay well formed and graph tools read them.
std::vector<std::string> GmlLines(const TMivoModel& model);
void ExportGml(const TMivoModel& model, const std::string& file_name);

// The lines of the listing: one blank per level below the top, the name,
// TAB, the kind ('*' aggregate, '>' linked basic, ':' other basic), TAB,
// the scale's display text or "<undefined>", TAB, the description. Tabs
// and line breaks inside the texts are written as blanks, so every
// attribute stays one line of four items.
std::vector<std::string> TreeLines(const TMivoModel& model);
void ExportTree(const TMivoModel& model, const std::string& file_name);

}  // namespace mivo
