// Identifiers of the media library's resources: the schema scripts, TEXT resources of the
// program that hosts the library (library.rc is compiled into it).
#pragma once

#define IDR_LIBRARY_SCHEMA_CREATE 107
#define IDR_LIBRARY_SCHEMA_DROP 108
#define IDR_LIBRARY_TEMP_TAGS 109
