#include "nxsetup/huffman.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <queue>
#include <utility>
#include <vector>

namespace nx::setup {
namespace {

constexpr std::int32_t kNoNode = 0;

struct Node {
  int symbol = -1;  // -1 for inner nodes
  std::int32_t weight = 0;
  std::int32_t parent = kNoNode;
  std::int32_t child0 = kNoNode;
  std::int32_t child1 = kNoNode;
};

struct Symbol {
  std::uint8_t value;
  std::uint8_t weight;
};

// Nodes are numbered from 1; index 0 is an unused placeholder.
struct Tree {
  std::vector<Node> nodes;
  std::int32_t root = kNoNode;
};

// Builds the tree over the leaves. Each step joins the two lightest nodes with a weight above 0,
// ties going to the lower node number; the lighter (first taken) becomes the bit-1 child. The
// queue ordered by (weight, number) picks exactly those nodes, since a joined node is numbered
// after every node that exists. Returns nothing when no leaf has a weight.
std::optional<Tree> buildTree(const std::vector<Symbol>& symbols) {
  using Key = std::pair<std::int32_t, std::int32_t>;  // weight, node number
  std::priority_queue<Key, std::vector<Key>, std::greater<>> queue;
  Tree tree;
  tree.nodes.reserve(2 * symbols.size() + 1);
  tree.nodes.emplace_back();
  for (const Symbol& s : symbols) {
    Node leaf;
    leaf.symbol = s.value;
    leaf.weight = s.weight;
    const auto id = static_cast<std::int32_t>(tree.nodes.size());
    tree.nodes.push_back(leaf);
    if (leaf.weight > 0) queue.emplace(leaf.weight, id);
  }
  if (queue.empty()) return std::nullopt;
  for (;;) {
    const std::int32_t m1 = queue.top().second;
    queue.pop();
    const std::int32_t w1 = tree.nodes[m1].weight;
    tree.nodes[m1].weight = 0;
    if (queue.empty()) {
      tree.root = m1;
      return tree;
    }
    const std::int32_t m2 = queue.top().second;
    queue.pop();
    if (tree.nodes.size() > static_cast<std::size_t>(kHuffMaxNodes)) return std::nullopt;
    Node inner;
    inner.weight = w1 + tree.nodes[m2].weight;
    inner.child1 = m1;
    inner.child0 = m2;
    const auto id = static_cast<std::int32_t>(tree.nodes.size());
    tree.nodes[m1].parent = id;
    tree.nodes[m2].parent = id;
    tree.nodes[m2].weight = 0;
    tree.nodes.push_back(inner);
    queue.emplace(inner.weight, id);
  }
}

std::uint8_t byteAt(std::string_view text, std::size_t i) {
  return static_cast<std::uint8_t>(text[i]);
}

}  // namespace

std::optional<std::string> huffDecode(std::string_view coded) {
  if (coded.size() < 4) return std::nullopt;
  const std::uint8_t d0 = byteAt(coded, 0);
  const std::uint8_t d1 = byteAt(coded, 1);
  const std::uint8_t d2 = byteAt(coded, 2);
  if (d1 > 179 || d2 > 179) return std::nullopt;
  const long bitCount = d0 * 32400L + d1 * 180L + d2;
  const std::size_t symbolCount = std::size_t{byteAt(coded, 3)} + 1;
  const std::size_t codeStart = 4 + 2 * symbolCount;
  if (codeStart > coded.size()) return std::nullopt;

  std::vector<Symbol> symbols;
  symbols.reserve(symbolCount);
  for (std::size_t j = 0; j < symbolCount; ++j) {
    symbols.push_back({byteAt(coded, 4 + 2 * j), byteAt(coded, 5 + 2 * j)});
  }
  if (bitCount == 0) return std::string();
  const std::string_view code = coded.substr(codeStart);
  // The last bit used lies in code byte N / 8.
  if (static_cast<std::size_t>(bitCount / 8) >= code.size()) return std::nullopt;

  const std::optional<Tree> tree = buildTree(symbols);
  if (!tree) return std::nullopt;
  const std::vector<Node>& nodes = tree->nodes;

  std::string out;
  std::int32_t at = tree->root;
  const bool rootIsLeaf = nodes[tree->root].symbol >= 0;
  for (long m = 1; m <= bitCount; ++m) {
    const bool bit = ((byteAt(code, static_cast<std::size_t>(m / 8)) >> (m % 8)) & 1U) != 0;
    if (rootIsLeaf) {
      out.push_back(static_cast<char>(nodes[at].symbol));
      continue;
    }
    at = bit ? nodes[at].child1 : nodes[at].child0;
    if (nodes[at].symbol >= 0) {
      out.push_back(static_cast<char>(nodes[at].symbol));
      at = tree->root;
    }
  }
  return out;
}

std::optional<std::string> huffEncode(std::string_view plain) {
  if (plain.empty()) return std::nullopt;
  std::array<std::uint64_t, 256> freq{};
  for (char c : plain) ++freq[static_cast<std::uint8_t>(c)];
  const std::uint64_t maxFreq = *std::max_element(freq.begin(), freq.end());

  std::vector<Symbol> symbols;
  std::array<std::int32_t, 256> leafOf{};
  for (int v = 0; v < 256; ++v) {
    if (freq[v] == 0) continue;
    // Scale into 1..255, keeping every used symbol in the tree.
    const std::uint64_t scaled =
        std::max<std::uint64_t>(1, (freq[v] * 255 + maxFreq - 1) / maxFreq);
    symbols.push_back({static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(scaled)});
    leafOf[v] = static_cast<std::int32_t>(symbols.size());
  }
  const std::optional<Tree> tree = buildTree(symbols);
  if (!tree) return std::nullopt;
  const std::vector<Node>& nodes = tree->nodes;
  const bool rootIsLeaf = nodes[tree->root].symbol >= 0;

  // Code of each symbol, first bit first.
  std::array<std::vector<bool>, 256> codes;
  for (int v = 0; v < 256; ++v) {
    if (leafOf[v] == 0) continue;
    std::vector<bool>& bits = codes[v];
    if (rootIsLeaf) {
      bits.push_back(false);
      continue;
    }
    for (std::int32_t n = leafOf[v]; n != tree->root; n = nodes[n].parent) {
      bits.push_back(nodes[nodes[n].parent].child1 == n);
    }
    std::reverse(bits.begin(), bits.end());
  }

  std::uint64_t bitTotal = 0;
  for (char c : plain) bitTotal += codes[static_cast<std::uint8_t>(c)].size();
  if (bitTotal > static_cast<std::uint64_t>(kHuffMaxBits)) return std::nullopt;
  const auto bitCount = static_cast<long>(bitTotal);

  std::string out;
  out.push_back(static_cast<char>(bitCount / 32400));
  out.push_back(static_cast<char>((bitCount % 32400) / 180));
  out.push_back(static_cast<char>(bitCount % 180));
  out.push_back(static_cast<char>(symbols.size() - 1));
  for (const Symbol& s : symbols) {
    out.push_back(static_cast<char>(s.value));
    out.push_back(static_cast<char>(s.weight));
  }
  std::string code(static_cast<std::size_t>(bitCount / 8 + 1), '\0');
  long m = 1;
  for (char c : plain) {
    for (bool bit : codes[static_cast<std::uint8_t>(c)]) {
      if (bit) {
        auto& byte = code[static_cast<std::size_t>(m / 8)];
        byte = static_cast<char>(static_cast<std::uint8_t>(byte) | (1U << (m % 8)));
      }
      ++m;
    }
  }
  out += code;
  return out;
}

}  // namespace nx::setup
