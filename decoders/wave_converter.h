// The WAVE decoder's converters: one interface over every way a file's audio becomes PCM for the
// output (the platform's ACM codecs, PCM to PCM, A-law and mu-law, codec plug-ins), shaped like
// the ACM stream calls, and the choice of one converter for a pair of formats.
#pragma once
#include <mmreg.h>
#include <mmsystem.h>
#include <msacm.h>
#include <windows.h>

class CWaveConverter {
 public:
  virtual ~CWaveConverter() = default;
  // 0 when the converter takes this source format.
  virtual MMRESULT Setup(const WAVEFORMATEX* source) = 0;
  // 0, or MMSYSERR_INVALPARAM for a pair it refuses.
  virtual MMRESULT Open(const WAVEFORMATEX* source, const WAVEFORMATEX* destination) = 0;
  virtual MMRESULT GetOutputSize(DWORD sourceBytes, DWORD* destinationBytes) = 0;
  virtual MMRESULT PrepareHeader(ACMSTREAMHEADER* header) = 0;
  virtual MMRESULT UnprepareHeader(ACMSTREAMHEADER* header) = 0;
  // Converts cbSrcLength bytes at pbSrc into pbDst (room cbDstLength); sets both used counts.
  virtual MMRESULT Convert(ACMSTREAMHEADER* header) = 0;
  virtual LPCWSTR GetName() = 0;
  // The index-th format the converter offers, null past the last.
  virtual LPCWSTR GetFormat(int index, WAVEFORMATEX* format) = 0;
};

// Makes a converter for a source format tag, or none.
typedef CWaveConverter* (*WaveConverterFactory)(WORD formatTag);

// 0 with a converter opened for the pair, or MMSYSERR_NODRIVER with none.
MMRESULT CreateWaveConverter(CWaveConverter** out, const WAVEFORMATEX* source, const WAVEFORMATEX* destination);
// Appends to the factory list; the new entry's index.
int RegisterWaveConverterFactory(WaveConverterFactory factory);
// The first converter a registered factory makes for the source's tag that takes the source.
CWaveConverter* FindWaveConverter(const WAVEFORMATEX* source);

// The converters CreateWaveConverter picks from, for the tests and the factory list.
CWaveConverter* NewAcmConverter();
CWaveConverter* NewPcmConverter();
CWaveConverter* CreateG711Converter(WORD formatTag);  // tags 6 (A-law) and 7 (mu-law) only
