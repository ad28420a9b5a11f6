// Downloads one URL into a file with CHttpTransfer, the way the updater
// fetches an installer, and prints the throughput.
//   http_download_bench URL TARGET_FILE [RUNS]
// Prints one line per run and a last line "best: BYTES bytes SECONDS s MB/s".
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "common/text16.h"
#include "tollwren/transfer/http_transfer.h"

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: http_download_bench URL TARGET_FILE [RUNS]\n");
    return 2;
  }
  const char16_t* url = AsText(argv[1]);
  const char16_t* target = AsText(argv[2]);
  const int runs = argc > 3 ? _wtoi(argv[3]) : 3;
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  double best = 0;
  uint32_t bestBytes = 0;
  for (int run = 0; run < runs; ++run) {
    std::atomic<uint32_t> received{0};
    std::atomic<uint32_t> expected{0};
    std::atomic<uint8_t> abortFlag{0};
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    CHttpTransfer transfer;
    transfer.SetCounters(&received, &expected);
    transfer.SetAbortFlag(&abortFlag);
    transfer.Open(kTransferTimeoutMs, kUpdaterUserAgent);
    const int32_t result = transfer.GetToFile(target, url);
    QueryPerformanceCounter(&end);
    const double seconds = static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart;
    if (result != kTransferOk || transfer.BytesReceived() == 0) {
      std::printf("run %d: failed with result %d after %u bytes\n", run + 1, result, transfer.BytesReceived());
      return 1;
    }
    const double rate = transfer.BytesReceived() / seconds / 1e6;
    std::printf("run %d: %u bytes %.3f s %.1f MB/s\n", run + 1, transfer.BytesReceived(), seconds, rate);
    if (rate > best) {
      best = rate;
      bestBytes = transfer.BytesReceived();
    }
  }
  std::printf("best: %u bytes %.1f MB/s\n", bestBytes, best);
  return 0;
}
