// The walk over the ASF data packets: one packet's header, its payloads, and the audio stream's
// payloads one after the other, from which the library cuts the stream's packets.
#pragma once
#include <cstdint>

#include "wma_lib.h"

// Parse states of the walk (tWMAFileHdrStateInternal::parseState).
enum WmaParseState : uint8_t {
  WMA_PARSE_HEADER = 1,
  WMA_PARSE_NEXT_PACKET = 3,
  WMA_PARSE_NEXT_PAYLOAD = 4,
  WMA_PARSE_AUDIO_PAYLOAD = 6,
  WMA_PARSE_OTHER_PAYLOAD = 8,
};

// A data packet's header: 0, WMA_LIB_UNSUPPORTED for flags outside the format, WMA_LIB_NOT_ASF when
// it is cut short.
int WmaParsePacketHeader(const uint8_t* packet, uint32_t size, WmaPacketInfo* info);
// The payload whose header starts at `cursor`; `next` is the cursor of the one after it. 0, or
// WMA_LIB_END when it overruns the packet.
int WmaParsePayload(const uint8_t* packet, const WmaPacketInfo& info, uint32_t cursor, WmaPayload* payload,
                    uint32_t* next);
// Reads the packet at a file offset and parses its header.
int WmaReadPacket(WmaLibState* s, uint32_t offset);
// Moves the walk to the next payload of the audio stream: 0, WMA_LIB_END past the last packet, or
// the failure that stopped it.
int WmaNextAudioPayload(WmaLibState* s);
// The audio decoder's supply: the stream's next packet of block-align bytes.
uint32_t WmaLibSupplyPacket(void* state, const uint8_t** data);
// Forgets the packet being cut (a seek).
void WmaResetWalk(WmaLibState* s);
