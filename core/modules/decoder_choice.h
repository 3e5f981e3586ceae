// Which decoder module plays a path or URL, and which stream source feeds it: by the extension
// filters of the registered decoders, then by their claim functions, then by the MIME type a
// stream source reports; the source by the path's scheme. Each choice also has a form over a
// given list, so that the order of the lists decides and nothing else.
#pragma once
#include <windows.h>

#include <span>
#include <string>

#include "core/interface/dec_module.h"
#include "core/interface/input_source.h"

// The extension the choice goes by: after the last '.' behind the last '\', else after the last
// '.' behind the last '/', or for a bare file name after its last '.'; empty when there is none.
std::u16string PathExtension(LPCWSTR path);

// Whether one of the decoder's patterns ("*.MP3;*.MP2") names the whole extension; "P3" is not
// "MP3". The record's word 4 is one pattern list: nothing is read behind its terminating zero.
bool DecoderFilterHolds(const DecModule* record, std::u16string_view extension);

// The first record whose filter holds the extension, else the last whose IsOurFile claims the
// path, else the decoder for the MIME type a claiming source reports; null when none matches
// (and for a path shorter than 4 characters).
DecModule* ChooseDecoderFrom(std::span<DecModule* const> decoders, std::span<InputSource* const> sources, LPCWSTR path);
DecModule* ChooseDecoder(LPCWSTR path);
BOOL CanPlayPath(LPCWSTR path);

// The decoder for a MIME type: the extension the registry gives for it, else the first decoder
// whose own MIME list names it (case ignored).
DecModule* LookupDecoderByMimeFrom(std::span<DecModule* const> decoders, std::span<InputSource* const> sources,
                                   LPCWSTR mime);
DecModule* LookupDecoderByMime(LPCWSTR mime);

// The source-provider property that answers a path's MIME type (a 200-byte buffer).
#define SOURCE_PROPERTY_MIME_TYPE 0x800000

// Null: the empty source; "\...": the file reader; "http://": the HTTP stream source; "rtsp://"
// and "mms://": the network pass-through; else the first provider of version 3 or later that
// claims the path, else the file reader when the file exists and the HTTP source when not.
InputSource* ChooseSourceFrom(std::span<InputSource* const> providers, LPCWSTR path);
InputSource* ChooseSource(LPCWSTR path);
