// kelvo-bench: the driver's calls against the transport floor, its own cost
// per position and its peak heap. See bench/README.md.
//
//   kelvo-bench [--sizes=1,10,...] [--driver-sizes=1000,10000] [--heap-sizes=10000]
//               [Google Benchmark flags]
#include <benchmark/benchmark.h>
#include <curl/curl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <exception>
#include <set>
#include <string>
#include <vector>

#include "bench/context.h"
#include "bench/driver_steps.h"
#include "bench/floor.h"
#include "bench/packages.h"
#include "bench/summary.h"
#include "platform/http_transport.h"

namespace {

using bench::Context;

struct Settings {
  std::vector<int> Sizes = {1, 10, 100, 1000, 10000};
  std::vector<int> DriverSizes = {1000, 10000};
  std::vector<int> HeapSizes = {1000, 10000};
};

std::vector<int> NumberList(const char* Text) {
  std::vector<int> List;
  for (const char* P = Text; *P;) {
    List.push_back(std::atoi(P));
    P = std::strchr(P, ',');
    if (!P) break;
    ++P;
  }
  return List;
}

// Takes this program's own flags out of argv, leaving Google Benchmark's.
Settings TakeSettings(int& Argc, char** Argv) {
  Settings S;
  int Kept = 1;
  for (int I = 1; I < Argc; ++I) {
    const std::string A = Argv[I];
    if (A.rfind("--sizes=", 0) == 0)
      S.Sizes = NumberList(Argv[I] + 8);
    else if (A.rfind("--driver-sizes=", 0) == 0)
      S.DriverSizes = NumberList(Argv[I] + 15);
    else if (A.rfind("--heap-sizes=", 0) == 0)
      S.HeapSizes = NumberList(Argv[I] + 13);
    else
      Argv[Kept++] = Argv[I];
  }
  Argc = Kept;
  return S;
}

void Register(Context& C, const Settings& S) {
  for (const int N : S.Sizes) {
    const bench::FloorRequest Post{C.Url("/api/1/receipt"), true, C.ReceiptOf(N).RequestBody};
    benchmark::RegisterBenchmark("floor_post", [Post](benchmark::State& State) {
      for (auto _ : State) benchmark::DoNotOptimize(bench::FloorExchange(Post));
    })->Arg(N);
    platform::HttpRequest Request;
    Request.Post = true;
    Request.Url = Post.Url;
    Request.Body = Post.Body;
    Request.Headers = {{"Content-Type", "application/json"},
                       {"User-Agent", bench::kDriverUserAgent},
                       {"Accept-Encoding", "UTF-8"}};
    benchmark::RegisterBenchmark("transport_post", [Request](benchmark::State& State) {
      for (auto _ : State) benchmark::DoNotOptimize(platform::HttpTransport().Send(Request));
    })->Arg(N);
    benchmark::RegisterBenchmark("process_check_offline", [&C, N](benchmark::State& State) {
      for (auto _ : State) benchmark::DoNotOptimize(C.ProcessCheckOffline(N));
    })->Arg(N);
    benchmark::RegisterBenchmark("offline_then_transport", [&C, N,
                                                            Request](benchmark::State& State) {
      for (auto _ : State) {
        benchmark::DoNotOptimize(C.ProcessCheckOffline(N));
        benchmark::DoNotOptimize(platform::HttpTransport().Send(Request));
      }
    })->Arg(N);
    benchmark::RegisterBenchmark("process_check", [&C, N](benchmark::State& State) {
      for (auto _ : State) benchmark::DoNotOptimize(C.ProcessCheck(N));
    })->Arg(N);
  }
  const bench::FloorRequest Shift{C.Url("/api/1/shift/status"), false, {}};
  const bench::FloorRequest Exchange{C.Url("/api/1/ofd/status"), false, {}};
  benchmark::RegisterBenchmark("floor_get2", [Shift, Exchange](benchmark::State& State) {
    for (auto _ : State) {
      benchmark::DoNotOptimize(bench::FloorExchange(Shift));
      benchmark::DoNotOptimize(bench::FloorExchange(Exchange));
    }
  });
  benchmark::RegisterBenchmark("get_current_status", [&C](benchmark::State& State) {
    for (auto _ : State) benchmark::DoNotOptimize(C.GetCurrentStatus());
  });
  benchmark::RegisterBenchmark("harness_call", [&C](benchmark::State& State) {
    for (auto _ : State) benchmark::DoNotOptimize(C.GetLineLength());
  });
  for (const int N : S.DriverSizes) {
    const std::string& Host = C.ReceiptOf(N).Package.Bytes;
    benchmark::RegisterBenchmark("host_text", [&Host](benchmark::State& State) {
      for (auto _ : State) benchmark::DoNotOptimize(bench::PackageFromHost(Host));
    })->Arg(N);
    const std::string Package = bench::PackageFromHost(Host);
    benchmark::RegisterBenchmark("driver_request", [Package](benchmark::State& State) {
      for (auto _ : State) {
        // The package text is handed over to the driver; its copy is not timed.
        State.PauseTiming();
        std::string Text = Package;
        State.ResumeTiming();
        benchmark::DoNotOptimize(bench::RequestFromPackage(std::move(Text)));
      }
    })->Arg(N);
  }
  benchmark::RegisterBenchmark("driver_answer", [](benchmark::State& State) {
    for (auto _ : State)
      benchmark::DoNotOptimize(
          bench::OutputsFromAnswer(bench::kReceiptAnswer, "application/json; charset=utf-8"));
  });
}

// The driver code linked into this program must do what the add-in did.
void CheckDriverSteps(const Context& C, const Settings& S) {
  for (const int N : S.DriverSizes)
    if (bench::RequestFromPackage(bench::PackageFromHost(C.ReceiptOf(N).Package.Bytes)) !=
        C.ReceiptOf(N).RequestBody)
      throw std::runtime_error("the driver code in the benchmark builds another request body");
  if (bench::OutputsFromAnswer(bench::kReceiptAnswer, "application/json; charset=utf-8") != 7)
    throw std::runtime_error("the driver code in the benchmark reads the answer differently");
}

}  // namespace

int main(int Argc, char** Argv) {
  const Settings S = TakeSettings(Argc, Argv);
  benchmark::Initialize(&Argc, Argv);
  if (benchmark::ReportUnrecognizedArguments(Argc, Argv)) return 2;
  curl_global_init(CURL_GLOBAL_NOTHING);
  try {
    std::set<int> All(S.Sizes.begin(), S.Sizes.end());
    All.insert(S.DriverSizes.begin(), S.DriverSizes.end());
    All.insert(S.HeapSizes.begin(), S.HeapSizes.end());
    Context C(KELVO_ADDIN_PATH, std::vector<int>(All.begin(), All.end()));
    CheckDriverSteps(C, S);
    Register(C, S);
    bench::SummaryReporter Results;
    benchmark::RunSpecifiedBenchmarks(&Results);

    bench::SummaryInput Input{S.Sizes, S.DriverSizes, {}};
    for (const int N : S.HeapSizes) {
      C.ProcessCheckPeakHeap(N);  // once to warm up
      Input.Heap.push_back({N, C.ReceiptOf(N).Package.Bytes.size(), C.ProcessCheckPeakHeap(N)});
    }
    bench::PrintSummary(Results, Input);
  } catch (const std::exception& E) {
    std::fprintf(stderr, "kelvo-bench: %s\n", E.what());
    return 1;
  }
  benchmark::Shutdown();
  return 0;
}
