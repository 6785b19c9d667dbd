// The process-wide keyword lists: the lines of the keyword files "SRCREQU_1.DAT" to
// "SRCREQU_8.DAT", file n for database kind n.
#pragma once

#include "TKeywordTable.h"

#include <filesystem>
#include <string>

extern KeywordList KeywordList_DB2;
extern KeywordList KeywordList_MSSQLSERVER;
extern KeywordList KeywordList_ORACLE;
extern KeywordList KeywordList_SYBASE;
extern KeywordList KeywordList_INFORMIX;
extern KeywordList KeywordList_ACCESS;
extern KeywordList KeywordList_MYSQL;
extern KeywordList KeywordList_FOXPRO;

// The list of database kind 1..8 (a TDbmsKind), nullptr for any other kind.
KeywordList* KeywordListOfKind(int kind);

// "SRCREQU_<kind>.DAT" for kind 1..8, empty for any other kind.
std::string KeywordFileName(int kind);

// Replaces list with the lines of the file, each ended by CR LF, LF or CR alone; a leading
// UTF-8 byte order mark is dropped. A file that cannot be read leaves list empty and gives false.
bool ReadKeywordFile(const std::filesystem::path& file, KeywordList& list);

// Fills the eight lists from the keyword files of the folder, names matched without regard to case.
// A missing or unreadable file leaves its list empty.
void LoadKeywordFiles(const std::filesystem::path& folder);

// Empties the eight lists.
void ClearKeywordLists();
