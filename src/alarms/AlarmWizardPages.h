#pragma once

// The order of the alarm wizard's pages, kept apart from the window: which
// page Next and Previous go to for each alarm type.
namespace AlarmWizardPages {

enum Page { Title = 0, Type = 1, TimeDate = 2, Message = 3, Sound = 4, Done = 5, Finished = 6 };

// The page after `page`: the time and date page is passed over for the
// types that set their own due moment (Five Minutes ... 24 Hours). After
// Done comes Finished, which saves the alarm.
int next(int page, int typeIndex);
// The page before `page`, passing over the time and date page the same way;
// the title page stays where it is.
int previous(int page, int typeIndex);
// Going from `from` to `to` passed over the time and date page: the due
// moment comes from the type.
inline bool passesTimeDate(int from, int to) { return from < TimeDate && to > TimeDate; }

} // namespace AlarmWizardPages
