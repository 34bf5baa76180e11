// Amount texts through the parser, the formatter and the key filter, and as text set into a
// live box: nothing may crash, and whatever the box keeps is an amount.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "currency/eurobox/amount.h"
#include "currency/eurobox/eurobox.h"
#include "currency/eurobox/key_filter.h"
#include "platform/sim/sim_host.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace nx;
  const std::string text(reinterpret_cast<const char*>(data), size);
  const int decimals = size > 0 ? data[0] % 5 : 2;

  if (std::optional<Currency> c = eurobox::currencyOfText(text)) {
    // An amount that fits the currency also has a double value.
    if (!eurobox::doubleOfText(text)) std::abort();
    (void)c;
  }
  if (std::optional<double> d = eurobox::doubleOfText(text)) {
    eurobox::Rounder r;
    const double v = r.round(*d, decimals);
    const std::string shown = eurobox::formatAmount(v, decimals);
    if (!shown.empty() && !eurobox::isAmount(shown)) std::abort();
  }
  (void)eurobox::integerPartText(text);

  eurobox::EditState s{text, size > 1 ? data[1] % 8 : 0, size > 2 ? data[2] % 4 : 0};
  for (char ch : text) (void)eurobox::filterKey(static_cast<unsigned char>(ch), s, decimals, 9);

  static sim::SimHost host;
  static NxEuroBox& box = host.create<NxEuroBox>();
  box.digits().setText(text);
  // What the box keeps reads, without its symbol and blanks, as nothing, a lone sign or an
  // amount.
  const std::string kept = eurobox::withoutSymbol(box.digits().text(), box.symbol());
  if (!kept.empty() && kept != "-" && !eurobox::currencyOfText(kept)) std::abort();
  return 0;
}
