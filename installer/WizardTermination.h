// The wizard's termination request: it takes effect when control returns to the event loop.
#pragma once

namespace WizardTermination {

void Request();
bool Requested();
// For a new run of the wizard in the same process.
void Reset();

} // namespace WizardTermination
