#include "plattform/hlsl/intern/d3dx_glslangsatz.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>

namespace Plattform {

namespace {

using TStand = TGlslangSatz::TStand;

// No record comes near this; a longer frame is a damaged stream, not a reason to allocate.
constexpr uint32_t GroessterRahmen = 1u << 30;

// The records' words and texts are those of the shader record.
using ShaderCodeDetail::Text;
using ShaderCodeDetail::Wort;

// Waits until the socket is ready for `ereignis` (or has failed: the next call says so).
TStand Warte(int fd, short ereignis, const std::optional<TGlslangSatz::TZeitpunkt>& ende) {
  for (;;) {
    int warten = -1;
    if (ende) {
      const auto rest = std::chrono::duration_cast<std::chrono::milliseconds>(
          *ende - std::chrono::steady_clock::now()).count();
      if (rest <= 0) return TStand::Zeit;
      warten = static_cast<int>(std::min<long long>(rest, INT_MAX));
    }
    pollfd p{fd, ereignis, 0};
    const int bereit = poll(&p, 1, warten);
    if (bereit > 0) return TStand::Gut;
    if (bereit < 0 && errno != EINTR) return TStand::Kaputt;
  }
}

// send rather than write: a peer that has gone away is an error here, not a SIGPIPE.
TStand SchreibeGenau(int fd, const char* daten, size_t laenge,
                     const std::optional<TGlslangSatz::TZeitpunkt>& ende) {
  size_t geschrieben = 0;
  while (geschrieben < laenge) {
    const ssize_t n = send(fd, daten + geschrieben, laenge - geschrieben, MSG_NOSIGNAL);
    if (n > 0) {
      geschrieben += static_cast<size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK)) return TStand::Kaputt;
    if (const TStand w = Warte(fd, POLLOUT, ende); w != TStand::Gut) return w;
  }
  return TStand::Gut;
}

// Ende only when the peer closed before the first byte.
TStand LiesGenau(int fd, char* ziel, size_t laenge,
                 const std::optional<TGlslangSatz::TZeitpunkt>& ende) {
  size_t gelesen = 0;
  while (gelesen < laenge) {
    const ssize_t n = read(fd, ziel + gelesen, laenge - gelesen);
    if (n > 0) {
      gelesen += static_cast<size_t>(n);
      continue;
    }
    if (n == 0) return gelesen == 0 ? TStand::Ende : TStand::Kaputt;
    if (errno == EINTR) continue;
    if (errno != EAGAIN && errno != EWOULDBLOCK) return TStand::Kaputt;
    if (const TStand w = Warte(fd, POLLIN, ende); w != TStand::Gut) return w;
  }
  return TStand::Gut;
}

}  // namespace

std::string TGlslangSatz::Verpacke(const THlslKompiler::TAuftrag& a) {
  std::string o;
  Text(o, a.Quelltext);
  Text(o, a.QuellName);
  Wort(o, static_cast<uint32_t>(a.Definitionen.size()));
  for (const auto& [name, wert] : a.Definitionen) {
    Text(o, name);
    Text(o, wert);
  }
  Wort(o, a.Stufe);
  Text(o, a.Einstieg);
  Wort(o, a.ZeilenweiseMatrizen ? 1 : 0);
  return o;
}

bool TGlslangSatz::Entpacke(const std::string& bytes, THlslKompiler::TAuftrag& a) {
  ShaderCodeDetail::Leser l{reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()};
  a = THlslKompiler::TAuftrag{};
  a.Quelltext = l.Text();
  a.QuellName = l.Text();
  const uint32_t definitionen = l.Wort();
  if (!l.ok || l.rest / 8 < definitionen) return false;
  for (uint32_t i = 0; i < definitionen && l.ok; ++i) {
    std::string name = l.Text();
    a.Definitionen.emplace_back(std::move(name), l.Text());
  }
  a.Stufe = l.Wort();
  a.Einstieg = l.Text();
  a.ZeilenweiseMatrizen = l.Wort() == 1;
  return l.ok && l.rest == 0 && a.Stufe <= TShaderCode::Pixel;
}

std::string TGlslangSatz::Verpacke(const TErgebnis& e) {
  std::string o;
  Wort(o, e.Erfolg ? 1 : 0);
  Text(o, e.Meldungen);
  Wort(o, static_cast<uint32_t>(e.Spirv.size()));
  if (!e.Spirv.empty())
    o.append(reinterpret_cast<const char*>(e.Spirv.data()), e.Spirv.size() * 4);
  Wort(o, static_cast<uint32_t>(e.Reihenfolge.size()));
  for (const auto& n : e.Reihenfolge) Text(o, n);
  Wort(o, static_cast<uint32_t>(e.Register.size()));
  for (const auto& r : e.Register) {
    Text(o, r.Name);
    Wort(o, static_cast<uint32_t>(r.Satz));
    Wort(o, r.Index);
  }
  return o;
}

bool TGlslangSatz::Entpacke(const std::string& bytes, TErgebnis& e) {
  // The shader record's reader: the same words and length-prefixed texts.
  ShaderCodeDetail::Leser l{reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()};
  e.Erfolg = l.Wort() == 1;
  e.Meldungen = l.Text();
  const uint32_t woerter = l.Wort();
  if (!l.ok || l.rest / 4 < woerter) return false;
  e.Spirv.resize(woerter);
  if (woerter > 0) std::memcpy(e.Spirv.data(), l.p, size_t(woerter) * 4);
  l.p += size_t(woerter) * 4;
  l.rest -= size_t(woerter) * 4;
  const uint32_t namen = l.Wort();
  if (!l.ok || l.rest / 4 < namen) return false;
  e.Reihenfolge.clear();
  for (uint32_t i = 0; i < namen && l.ok; ++i) e.Reihenfolge.push_back(l.Text());
  const uint32_t register_ = l.Wort();
  if (!l.ok || l.rest / 12 < register_) return false;
  e.Register.clear();
  for (uint32_t i = 0; i < register_ && l.ok; ++i) {
    TExpliziterRegister r;
    r.Name = l.Text();
    r.Satz = static_cast<char>(l.Wort());
    r.Index = l.Wort();
    e.Register.push_back(std::move(r));
  }
  return l.ok && l.rest == 0;
}

std::string TGlslangSatz::Fehlerzeile(const THlslKompiler::TAuftrag& auftrag,
                                      const std::string& text) {
  return "ERROR: " + (auftrag.QuellName.empty() ? std::string() : auftrag.QuellName + ": ") +
         text + "\n";
}

TStand TGlslangSatz::SchreibeRahmen(int fd, const std::string& satz,
                                    const std::optional<TZeitpunkt>& ende) {
  if (satz.size() > GroessterRahmen) return TStand::Kaputt;
  std::string kopf;
  Wort(kopf, static_cast<uint32_t>(satz.size()));
  const TStand s = SchreibeGenau(fd, kopf.data(), kopf.size(), ende);
  return s == TStand::Gut ? SchreibeGenau(fd, satz.data(), satz.size(), ende) : s;
}

TStand TGlslangSatz::LiesRahmen(int fd, std::string& satz, const std::optional<TZeitpunkt>& ende) {
  uint32_t laenge = 0;
  const TStand s = LiesGenau(fd, reinterpret_cast<char*>(&laenge), 4, ende);
  if (s != TStand::Gut) return s;
  if (laenge > GroessterRahmen) return TStand::Kaputt;
  satz.resize(laenge);
  const TStand rumpf = LiesGenau(fd, satz.data(), laenge, ende);
  return rumpf == TStand::Ende ? TStand::Kaputt : rumpf;
}

}  // namespace Plattform
