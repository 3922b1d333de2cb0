// The names the scene's nodes bear, counted, so that making a name unique costs the same with ten
// nodes or a hundred thousand (no walk over the scene per name).
#pragma once
#include <string>
#include <unordered_map>

class NodeNameIndex {
 public:
  void Add(const std::string& name);
  void Remove(const std::string& name);
  // Whether some node bears the name.
  bool Taken(const std::string& name) const { return count_.count(name) > 0; }
  // stem followed by the first free number from 001 on ("Box001", "Box002", ..., "Box1000").
  std::string FirstFree(const std::string& stem);

 private:
  std::unordered_map<std::string, int> count_;
  // Per stem, a number below which every numbered name is taken, so the search for the first free
  // one starts there; lowered whenever a numbered name is given up.
  std::unordered_map<std::string, long long> floor_;
};

// The process's index of node names (INode keeps it current; the host's root is not in it).
NodeNameIndex& NodeNames();
