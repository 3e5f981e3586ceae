// One row of a tag table as a typed value: the loaders of whole entries and of single tags and
// the library items all read rows the same way.
#pragma once
#include <windows.h>

#include <string>

class CMediaLibrary;
class CSqlQuery;
class CTagValue;

// Row columns: tag, instance, value (blob rows: tag, instance, blobid, bsize), from the table of
// `type`. False when the value cannot take its tag's type.
bool ReadTagRow(CMediaLibrary* library, DWORD type, const CSqlQuery& row, CTagValue* value);

// The `dvalue` of a date text: completed step by step to year-month-day hour:minute:second, or
// the text as it is when it does not reach that.
std::u16string FullDateValue(const std::u16string& text);
