#pragma once

#include <string>

namespace ccp {

enum class Model { QPX730E = 1, QPX730H = 2 };
enum class Edition { Customer = 0, Factory = 1 };

// Fixed for each built program; the core takes it as a value so tests can run every build.
struct BuildConfig {
  Model model = Model::QPX730E;
  Edition edition = Edition::Customer;
};

inline bool isFactory(const BuildConfig& c) {
  return c.edition == Edition::Factory;
}
inline std::string modelName(Model model) {
  return model == Model::QPX730H ? "QPX730H" : "QPX730E";
}
inline bool isHebrewModel(const BuildConfig& c) {
  return c.model == Model::QPX730H;
}

}  // namespace ccp
