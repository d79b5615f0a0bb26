#pragma once

namespace ccp {

class TForm1;

// The controls each model shows differently: greeting, channel, chip, languages and tone formats.
void applyModel(TForm1& form);

// The service fields the customer edition keeps out of reach.
void applyEdition(TForm1& form);

}  // namespace ccp
