#pragma once
// docs/schema.md, made from the decoder's tables: every data name with its
// type, unit, source block and bytes, and the makes that fill it. The tool
// tools/schema_doc.cpp writes it; a test keeps the file in step.
#include <string>
#include <string_view>

namespace segd::generic {

// The unit of a data name: from its suffix (_ms, _us, _hz, ...) or the
// common quantities' table; "" for a count, code, identifier or text.
std::string_view UnitOf(std::string_view name);

std::string SchemaMarkdown();

}  // namespace segd::generic
