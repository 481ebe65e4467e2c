#include "catalog/frmCatMaint.h"

namespace kelvarin::catalog {

bool frmCatMaint::AskNewCatalogName(std::string* name) {
  (void)name;
  return false;
}

}  // namespace kelvarin::catalog
