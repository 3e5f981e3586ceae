// Tag storage's statements on the library's connection: the prepared ones, compiled right after
// the temporary tag tables are made and finalized before the connection closes, and the few
// built from a table name, compiled on first use and kept as long.
#include "media_library.h"
#include "library_schema.h"
#include "resources/library_resources.h"
#include "tag_tables.h"

void CMediaLibrary::PrepareStatements() {
  RunSchemaScript(*db_, instance_, IDR_LIBRARY_TEMP_TAGS);
  FinalizeStatements();
  for (int slot = 1; slot <= kTagStatementSlots; ++slot) {
    if (const char16_t* sql = TagStatementText(slot)) statements_[slot - 1] = db_->CompileStatement(sql);
  }
}

void CMediaLibrary::FinalizeStatements() {
  for (CSqlStatement& statement : statements_) statement = CSqlStatement();
  cached_.clear();
}

CSqlStatement* CMediaLibrary::Statement(int slot) {
  if (!db_ || slot < 1 || slot > kTagStatementSlots) return nullptr;
  CSqlStatement& statement = statements_[slot - 1];
  return statement.IsValid() ? &statement : nullptr;
}

CSqlStatement* CMediaLibrary::Cached(const std::u16string& sql) {
  if (!db_) return nullptr;
  auto found = cached_.find(sql);
  if (found == cached_.end()) found = cached_.emplace(sql, db_->CompileStatement(sql.c_str())).first;
  return found->second.IsValid() ? &found->second : nullptr;
}
