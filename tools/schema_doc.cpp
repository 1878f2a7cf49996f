// Writes docs/schema.md from the decoder's tables: segd_schema_doc > docs/schema.md
#include <cstdio>

#include "output/schema_doc.h"

int main() {
  const std::string text = segd::generic::SchemaMarkdown();
  return std::fwrite(text.data(), 1, text.size(), stdout) == text.size() ? 0 : 1;
}
