#include "bench/floor.h"

#include <curl/curl.h>

#include <stdexcept>

namespace bench {
namespace {

std::size_t Collect(char* Data, std::size_t Size, std::size_t Count, void* Out) {
  static_cast<std::string*>(Out)->append(Data, Size * Count);
  return Size * Count;
}

}  // namespace

const char kDriverUserAgent[] =
    "Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) "
    "Chrome/87.0.4280.66 Safari/537.36";

std::string FloorExchange(const FloorRequest& Request) {
  CURL* Easy = curl_easy_init();
  if (!Easy) throw std::runtime_error("curl_easy_init failed");
  curl_slist* Headers = nullptr;
  Headers = curl_slist_append(Headers, "Content-Type: application/json");
  Headers = curl_slist_append(Headers, (std::string("User-Agent: ") + kDriverUserAgent).c_str());
  if (Request.Post) Headers = curl_slist_append(Headers, "Accept-Encoding: UTF-8");
  Headers = curl_slist_append(Headers, "Accept:");
  Headers = curl_slist_append(Headers, "Expect:");

  std::string Answer;
  curl_easy_setopt(Easy, CURLOPT_URL, Request.Url.c_str());
  curl_easy_setopt(Easy, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(Easy, CURLOPT_PROXY, "");
  curl_easy_setopt(Easy, CURLOPT_FORBID_REUSE, 1L);
  curl_easy_setopt(Easy, CURLOPT_HTTPHEADER, Headers);
  if (Request.Post) {
    curl_easy_setopt(Easy, CURLOPT_POST, 1L);
    curl_easy_setopt(Easy, CURLOPT_POSTFIELDSIZE_LARGE,
                     static_cast<curl_off_t>(Request.Body.size()));
    curl_easy_setopt(Easy, CURLOPT_POSTFIELDS, Request.Body.data());
  }
  curl_easy_setopt(Easy, CURLOPT_WRITEFUNCTION, Collect);
  curl_easy_setopt(Easy, CURLOPT_WRITEDATA, &Answer);
  const CURLcode Code = curl_easy_perform(Easy);
  curl_easy_cleanup(Easy);
  curl_slist_free_all(Headers);
  if (Code != CURLE_OK) throw std::runtime_error(curl_easy_strerror(Code));
  return Answer;
}

}  // namespace bench
