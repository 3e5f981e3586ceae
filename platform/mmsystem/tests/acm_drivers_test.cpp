// The drivers as the WAVE decoder finds them: two drivers, one codec; its count of codec
// drivers per format tag (open each codec, walk its tags by index); details, metrics, and the
// refusals for bad handles, flags and records.
#include <string>

#include "acm_support.h"

namespace zb::acm::testing {
namespace {

struct Counting {
  DWORD wantedTag;
  int matches = 0;
  int drivers = 0;
};

// The decoder's driver check, as it walks the manager.
BOOL CALLBACK CountCodecDrivers(HACMDRIVERID id, DWORD_PTR instance, DWORD support) {
  auto* c = reinterpret_cast<Counting*>(instance);
  ++c->drivers;
  if (!(support & ACMDRIVERDETAILS_SUPPORTF_CODEC)) return TRUE;
  ACMDRIVERDETAILS details{};
  details.cbStruct = sizeof(details);
  EXPECT_EQ(acmDriverDetails(id, &details, 0), MMSYSERR_NOERROR);
  HACMDRIVER driver = nullptr;
  EXPECT_EQ(acmDriverOpen(&driver, id, 0), MMSYSERR_NOERROR);
  for (DWORD i = 0; i < details.cFormatTags; ++i) {
    ACMFORMATTAGDETAILS tag{};
    tag.cbStruct = sizeof(tag);
    tag.dwFormatTagIndex = i;
    EXPECT_EQ(acmFormatTagDetails(driver, &tag, ACM_FORMATTAGDETAILSF_INDEX), MMSYSERR_NOERROR);
    if (tag.dwFormatTag == c->wantedTag) ++c->matches;
  }
  EXPECT_EQ(acmDriverClose(driver, 0), MMSYSERR_NOERROR);
  return TRUE;
}

struct TagCount {
  DWORD tag;
  int matches;
};

constexpr TagCount kTagCounts[] = {
    {WAVE_FORMAT_PCM, 1}, {WAVE_FORMAT_ALAW, 1}, {WAVE_FORMAT_MULAW, 1}, {WAVE_FORMAT_GSM610, 0}, {WAVE_FORMAT_MPEGLAYER3, 0},
};

TEST(AcmDriversTest, TheDecodersDriverCheckFindsTheG711Codec) {
  for (const TagCount& t : kTagCounts) {
    Counting c{t.tag};
    ASSERT_EQ(acmDriverEnum(CountCodecDrivers, reinterpret_cast<DWORD_PTR>(&c), 0), MMSYSERR_NOERROR);
    EXPECT_EQ(c.drivers, 2);
    EXPECT_EQ(c.matches, t.matches) << "tag " << t.tag;
  }
}

BOOL CALLBACK StopAtFirst(HACMDRIVERID, DWORD_PTR instance, DWORD) {
  ++*reinterpret_cast<int*>(instance);
  return FALSE;
}

TEST(AcmDriversTest, EnumerationStopsWhenTheCallbackSaysSo) {
  int calls = 0;
  EXPECT_EQ(acmDriverEnum(StopAtFirst, reinterpret_cast<DWORD_PTR>(&calls), 0), MMSYSERR_NOERROR);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(acmDriverEnum(nullptr, 0, 0), MMSYSERR_INVALPARAM);
  EXPECT_EQ(acmDriverEnum(StopAtFirst, 0, 0x1), MMSYSERR_INVALFLAG);
}

BOOL CALLBACK Collect(HACMDRIVERID id, DWORD_PTR instance, DWORD) {
  reinterpret_cast<std::vector<HACMDRIVERID>*>(instance)->push_back(id);
  return TRUE;
}

std::vector<HACMDRIVERID> DriverIds() {
  std::vector<HACMDRIVERID> ids;
  acmDriverEnum(Collect, reinterpret_cast<DWORD_PTR>(&ids), 0);
  return ids;
}

TEST(AcmDriversTest, DetailsNameTheDriversAndFitShortRecords) {
  std::vector<HACMDRIVERID> ids = DriverIds();
  ASSERT_EQ(ids.size(), 2u);
  ACMDRIVERDETAILS d{};
  d.cbStruct = sizeof(d);
  ASSERT_EQ(acmDriverDetails(ids[1], &d, 0), MMSYSERR_NOERROR);
  EXPECT_EQ(d.cbStruct, sizeof(d));
  EXPECT_EQ(d.fccType, static_cast<DWORD>(ACMDRIVERDETAILS_FCCTYPE_AUDIOCODEC));
  EXPECT_EQ(d.fdwSupport, static_cast<DWORD>(ACMDRIVERDETAILS_SUPPORTF_CODEC));
  EXPECT_EQ(d.cFormatTags, 3u);
  EXPECT_EQ(std::u16string(d.szShortName), u"CCITT G.711");

  // An older caller's shorter record is filled only as far as it reaches.
  struct {
    ACMDRIVERDETAILS d;
    DWORD guard;
  } shorter{};
  shorter.d.cbStruct = offsetof(ACMDRIVERDETAILS, hicon);
  shorter.guard = 0xDEADBEEF;
  std::memset(shorter.d.szShortName, 0x55, sizeof(shorter.d.szShortName));
  ASSERT_EQ(acmDriverDetails(ids[0], &shorter.d, 0), MMSYSERR_NOERROR);
  EXPECT_EQ(shorter.d.cbStruct, offsetof(ACMDRIVERDETAILS, hicon));
  EXPECT_EQ(shorter.d.fdwSupport, static_cast<DWORD>(ACMDRIVERDETAILS_SUPPORTF_CONVERTER));
  EXPECT_EQ(shorter.d.szShortName[0], 0x5555) << "past the caller's size nothing is written";

  EXPECT_EQ(acmDriverDetails(reinterpret_cast<HACMDRIVERID>(&d), &d, 0), MMSYSERR_INVALHANDLE);
  EXPECT_EQ(acmDriverDetails(ids[0], nullptr, 0), MMSYSERR_INVALPARAM);
  EXPECT_EQ(acmDriverDetails(ids[0], &d, 1), MMSYSERR_INVALFLAG);
}

struct MetricCase {
  UINT metric;
  DWORD value;
};

constexpr MetricCase kMetrics[] = {
    {ACM_METRIC_COUNT_DRIVERS, 2},   {ACM_METRIC_COUNT_CODECS, 1},  {ACM_METRIC_COUNT_CONVERTERS, 1},
    {ACM_METRIC_COUNT_FILTERS, 0},   {ACM_METRIC_COUNT_HARDWARE, 0}, {ACM_METRIC_MAX_SIZE_FORMAT, sizeof(WAVEFORMATEX)},
    {ACM_METRIC_COUNT_DISABLED, 0},
};

TEST(AcmDriversTest, MetricsCountTheDrivers) {
  for (const MetricCase& m : kMetrics) {
    DWORD value = 0xFFFF;
    EXPECT_EQ(acmMetrics(nullptr, m.metric, &value), MMSYSERR_NOERROR) << m.metric;
    EXPECT_EQ(value, m.value) << m.metric;
  }
  std::vector<HACMDRIVERID> ids = DriverIds();
  DWORD support = 0;
  EXPECT_EQ(acmMetrics(reinterpret_cast<HACMOBJ>(ids[1]), ACM_METRIC_DRIVER_SUPPORT, &support), MMSYSERR_NOERROR);
  EXPECT_EQ(support, static_cast<DWORD>(ACMDRIVERDETAILS_SUPPORTF_CODEC));
  HACMDRIVER open = nullptr;
  ASSERT_EQ(acmDriverOpen(&open, ids[0], 0), MMSYSERR_NOERROR);
  DWORD priority = 0;
  EXPECT_EQ(acmMetrics(reinterpret_cast<HACMOBJ>(open), ACM_METRIC_DRIVER_PRIORITY, &priority), MMSYSERR_NOERROR);
  EXPECT_EQ(priority, 1u);
  EXPECT_EQ(acmDriverClose(open, 0), MMSYSERR_NOERROR);
  EXPECT_EQ(acmMetrics(nullptr, ACM_METRIC_DRIVER_SUPPORT, &support), MMSYSERR_INVALHANDLE);
  EXPECT_EQ(acmMetrics(nullptr, 999, &support), MMSYSERR_NOTSUPPORTED);
  EXPECT_EQ(acmMetrics(nullptr, ACM_METRIC_COUNT_DRIVERS, nullptr), MMSYSERR_INVALPARAM);
}

TEST(AcmDriversTest, OpenDriversCloseOnceAndNotUnderAStream) {
  std::vector<HACMDRIVERID> ids = DriverIds();
  HACMDRIVER driver = nullptr;
  ASSERT_EQ(acmDriverOpen(&driver, ids[1], 0), MMSYSERR_NOERROR);
  WAVEFORMATEX source = Format(WAVE_FORMAT_MULAW, 1, 8000, 8), destination = Pcm(1, 8000, 16);
  HACMSTREAM stream = nullptr;
  ASSERT_EQ(acmStreamOpen(&stream, driver, &source, &destination, nullptr, 0, 0, 0), MMSYSERR_NOERROR);
  EXPECT_EQ(acmDriverClose(driver, 0), ACMERR_BUSY);
  EXPECT_EQ(acmStreamClose(stream, 0), MMSYSERR_NOERROR);
  EXPECT_EQ(acmDriverClose(driver, 1), MMSYSERR_INVALFLAG);
  EXPECT_EQ(acmDriverClose(driver, 0), MMSYSERR_NOERROR);
  EXPECT_EQ(acmDriverClose(driver, 0), MMSYSERR_INVALHANDLE);

  // The PCM converter does not decode mu-law.
  ASSERT_EQ(acmDriverOpen(&driver, ids[0], 0), MMSYSERR_NOERROR);
  EXPECT_EQ(acmStreamOpen(&stream, driver, &source, &destination, nullptr, 0, 0, 0), ACMERR_NOTPOSSIBLE);
  EXPECT_EQ(stream, nullptr);
  EXPECT_EQ(acmDriverClose(driver, 0), MMSYSERR_NOERROR);

  EXPECT_EQ(acmDriverOpen(nullptr, ids[0], 0), MMSYSERR_INVALPARAM);
  EXPECT_EQ(acmDriverOpen(&driver, nullptr, 0), MMSYSERR_INVALHANDLE);
  EXPECT_EQ(acmDriverOpen(&driver, ids[0], 4), MMSYSERR_INVALFLAG);
}

}  // namespace
}  // namespace zb::acm::testing
