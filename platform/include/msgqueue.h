// Point-to-point message queues: one end reads, the other writes, records keep their exact size,
// and both ends can be waited on (read end: records waiting; write end: room left).
#pragma once
#include "windef.h"

#define MSGQUEUE_NOPRECOMMIT 0x00000001
#define MSGQUEUE_ALLOW_BROKEN 0x00000002
#define MSGQUEUE_MSGALERT 0x00000001

typedef struct MSGQUEUEOPTIONS_OS {
  DWORD dwSize;
  DWORD dwFlags;
  DWORD dwMaxMessages;  // 0: no limit of its own
  DWORD cbMaxMessage;
  BOOL bReadAccess;
} MSGQUEUEOPTIONS, *LPMSGQUEUEOPTIONS, *PMSGQUEUEOPTIONS;

typedef struct MSGQUEUEINFO {
  DWORD dwSize;
  DWORD dwFlags;
  DWORD dwMaxMessages;
  DWORD cbMaxMessage;
  DWORD dwCurrentMessages;
  DWORD dwMaxQueueMessages;
  WORD wNumReaders;
  WORD wNumWriters;
} MSGQUEUEINFO, *LPMSGQUEUEINFO, *PMSGQUEUEINFO;

extern "C" {

HANDLE CreateMsgQueue(LPCWSTR name, LPMSGQUEUEOPTIONS options);
BOOL ReadMsgQueue(HANDLE queue, LPVOID buffer, DWORD bufferSize, LPDWORD bytesRead, DWORD timeout, DWORD* flags);
BOOL WriteMsgQueue(HANDLE queue, LPVOID buffer, DWORD dataSize, DWORD timeout, DWORD flags);
BOOL GetMsgQueueInfo(HANDLE queue, LPMSGQUEUEINFO info);
BOOL CloseMsgQueue(HANDLE queue);

}  // extern "C"
