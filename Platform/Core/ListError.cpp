#include "Platform/Core/ListError.h"

void RaiseListIndexError(std::int64_t Index) {
  throw EListError("Listenindex überschreitet das Maximum (" + std::to_string(Index) + ")");
}
