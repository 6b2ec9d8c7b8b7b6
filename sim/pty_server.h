// Serves a VirtualReader on a pseudo-terminal, so that the host reaches it through the real
// serial path.
#pragma once

#include <memory>
#include <string>

namespace rivelo::sim {

class VirtualReader;

class PtyServer {
 public:
  explicit PtyServer(VirtualReader& reader);
  ~PtyServer();  // stops
  PtyServer(const PtyServer&) = delete;
  PtyServer& operator=(const PtyServer&) = delete;

  bool Start();                  // opens the pseudo-terminal and starts serving
  void Stop();
  const std::string& Path() const;  // the terminal's path, to pass to CMyComm::Open

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace rivelo::sim
