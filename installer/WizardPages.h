// All the wizard's pages at once: deleting them when the program ends (or a test is done).
#pragma once

namespace WizardPages {

// Deletes every page that was made and empties its form variable.
void DeleteAll();

} // namespace WizardPages
