#pragma once

// The build configuration of the program being compiled. Only a program's main() includes this:
// its target links ccp_program_build, which defines the macros below from CCP_MODEL,
// CCP_EDITION and CCP_PORT.

#include "app/app_services.h"
#include "image/build_config.h"

#if !defined(CCP_BUILD_MODEL_QPX730E) && !defined(CCP_BUILD_MODEL_QPX730H)
#error "a program's main() includes this: link the target with ccp_program_build"
#endif

namespace ccp {

inline constexpr BuildConfig kProgramBuild {
#if defined(CCP_BUILD_MODEL_QPX730H)
  Model::QPX730H,
#else
  Model::QPX730E,
#endif
#if defined(CCP_BUILD_EDITION_factory)
      Edition::Factory,
#else
      Edition::Customer,
#endif
};

inline constexpr PortKind kProgramPort =
#if defined(CCP_BUILD_PORT_simulator)
    PortKind::Simulator;
#else
    PortKind::Hardware;
#endif

}  // namespace ccp
