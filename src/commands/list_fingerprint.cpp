#include "commands/list_fingerprint.h"

#include <openssl/evp.h>

#include <array>
#include <span>
#include <stdexcept>

#include "image/hex.h"

namespace ccp {

struct Fingerprint::Digest {
  EVP_MD_CTX* context = EVP_MD_CTX_new();
  ~Digest() { EVP_MD_CTX_free(context); }
};

Fingerprint::Fingerprint() : digest_(std::make_unique<Digest>()) {
  if (digest_->context == nullptr ||
      EVP_DigestInit_ex(digest_->context, EVP_sha256(), nullptr) != 1) {
    throw std::runtime_error("SHA-256 is not available");
  }
}

Fingerprint::~Fingerprint() = default;

void Fingerprint::add(std::string_view text) {
  const std::string length = std::to_string(text.size()) + ':';
  EVP_DigestUpdate(digest_->context, length.data(), length.size());
  EVP_DigestUpdate(digest_->context, text.data(), text.size());
}

std::string Fingerprint::hex() {
  std::array<unsigned char, EVP_MAX_MD_SIZE> digest{};
  unsigned int length = 0;
  EVP_DigestFinal_ex(digest_->context, digest.data(), &length);
  return bytesToHex(std::span(digest.data(), length));
}

}  // namespace ccp
