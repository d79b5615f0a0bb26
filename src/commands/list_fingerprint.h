#pragma once

// A SHA-256 taken over a list as it streams: what tells a list, or a row, that changed.

#include <memory>
#include <string>
#include <string_view>

namespace ccp {

class Fingerprint {
 public:
  Fingerprint();
  ~Fingerprint();
  Fingerprint(const Fingerprint&) = delete;
  Fingerprint& operator=(const Fingerprint&) = delete;

  // Each text with its length first, so that no two different sequences of texts read the same.
  void add(std::string_view text);
  // The digest in hexadecimal; nothing more is added after it.
  std::string hex();

 private:
  struct Digest;
  std::unique_ptr<Digest> digest_;
};

}  // namespace ccp
