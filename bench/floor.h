// The transport floor: one HTTP exchange on a fresh libcurl easy handle,
// blocking, with nothing around it. The driver cannot do a request faster
// than this, so its calls are measured against it.
#pragma once

#include <string>

namespace bench {

// The headers the driver sends with its requests, and none of libcurl's own
// (no "Accept", no "Expect: 100-continue" on large bodies).
struct FloorRequest {
  std::string Url;
  bool Post = false;
  std::string Body;
};

// The driver's User-Agent header value.
extern const char kDriverUserAgent[];

// Returns the answer body; throws std::runtime_error when no answer came.
std::string FloorExchange(const FloorRequest& Request);

}  // namespace bench
