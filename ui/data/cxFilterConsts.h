// The user-visible words of the filter: operator words, list joiners and
// the captions of the filter drop-down's special entries. Platform
// independent.
#pragma once

#include "cxClasses.h"

inline constexpr TcxResourceString cxSFilterOperatorEqual{65211, "equals"};
inline constexpr TcxResourceString cxSFilterOperatorNotEqual{65212,
                                                             "does not equal"};
inline constexpr TcxResourceString cxSFilterOperatorLess{65213, "is less than"};
inline constexpr TcxResourceString cxSFilterOperatorLessEqual{
    65214, "is less than or equal to"};
inline constexpr TcxResourceString cxSFilterOperatorGreater{65215,
                                                            "is greater than"};
inline constexpr TcxResourceString cxSFilterOperatorGreaterEqual{
    65184, "is greater than or equal to"};
inline constexpr TcxResourceString cxSFilterOperatorLike{65185, "like"};
inline constexpr TcxResourceString cxSFilterOperatorNotLike{65186, "not like"};
inline constexpr TcxResourceString cxSFilterOperatorBetween{65187, "between"};
inline constexpr TcxResourceString cxSFilterOperatorNotBetween{65188,
                                                               "not between"};
inline constexpr TcxResourceString cxSFilterOperatorInList{65189, "in"};
inline constexpr TcxResourceString cxSFilterOperatorNotInList{65190, "not in"};
inline constexpr TcxResourceString cxSFilterOperatorYesterday{65191,
                                                              "is yesterday"};
inline constexpr TcxResourceString cxSFilterOperatorToday{65192, "is today"};
inline constexpr TcxResourceString cxSFilterOperatorTomorrow{65193,
                                                             "is tomorrow"};
inline constexpr TcxResourceString cxSFilterOperatorLast7Days{65194,
                                                              "is last 7 days"};
inline constexpr TcxResourceString cxSFilterOperatorLastWeek{65195,
                                                             "is last week"};
inline constexpr TcxResourceString cxSFilterOperatorLast14Days{
    65196, "is last 14 days"};
inline constexpr TcxResourceString cxSFilterOperatorLastTwoWeeks{
    65197, "is last two weeks"};
inline constexpr TcxResourceString cxSFilterOperatorLast30Days{
    65198, "is last 30 days"};
inline constexpr TcxResourceString cxSFilterOperatorLastMonth{65199,
                                                              "is last month"};
inline constexpr TcxResourceString cxSFilterOperatorLastYear{65168,
                                                             "is last year"};
inline constexpr TcxResourceString cxSFilterOperatorPast{65169, "is past"};
inline constexpr TcxResourceString cxSFilterOperatorThisWeek{65170,
                                                             "is this week"};
inline constexpr TcxResourceString cxSFilterOperatorThisMonth{65171,
                                                              "is this month"};
inline constexpr TcxResourceString cxSFilterOperatorThisYear{65172,
                                                             "is this year"};
inline constexpr TcxResourceString cxSFilterOperatorNext7Days{65173,
                                                              "is next 7 days"};
inline constexpr TcxResourceString cxSFilterOperatorNextWeek{65174,
                                                             "is next week"};
inline constexpr TcxResourceString cxSFilterOperatorNext14Days{
    65175, "is next 14 days"};
inline constexpr TcxResourceString cxSFilterOperatorNextTwoWeeks{
    65176, "is next two weeks"};
inline constexpr TcxResourceString cxSFilterOperatorNext30Days{
    65177, "is next 30 days"};
inline constexpr TcxResourceString cxSFilterOperatorNextMonth{65178,
                                                              "is next month"};
inline constexpr TcxResourceString cxSFilterOperatorNextYear{65179,
                                                             "is next year"};
inline constexpr TcxResourceString cxSFilterOperatorFuture{65180, "is future"};
inline constexpr TcxResourceString cxSFilterOperatorIsNull{65153, "is blank"};
inline constexpr TcxResourceString cxSFilterOperatorIsNotNull{65154,
                                                              "is not blank"};
inline constexpr TcxResourceString cxSFilterOperatorBeginsWith{65155,
                                                               "begins with"};
inline constexpr TcxResourceString cxSFilterOperatorDoesNotBeginWith{
    65156, "does not begin with"};
inline constexpr TcxResourceString cxSFilterOperatorEndsWith{65157,
                                                             "ends with"};
inline constexpr TcxResourceString cxSFilterOperatorDoesNotEndWith{
    65158, "does not end with"};
inline constexpr TcxResourceString cxSFilterOperatorContains{65159, "contains"};
inline constexpr TcxResourceString cxSFilterOperatorDoesNotContain{
    65160, "does not contain"};
inline constexpr TcxResourceString cxSFilterAndCaption{65161, "and"};
inline constexpr TcxResourceString cxSFilterOrCaption{65162, "or"};
inline constexpr TcxResourceString cxSFilterNotCaption{65163, "not"};
inline constexpr TcxResourceString cxSFilterBlankCaption{65164, "blank"};
inline constexpr TcxResourceString cxSFilterBoxAllCaption{65181, "(All)"};
inline constexpr TcxResourceString cxSFilterBoxCustomCaption{65182,
                                                             "(Custom...)"};
inline constexpr TcxResourceString cxSFilterBoxBlanksCaption{65183, "(Blanks)"};
inline constexpr TcxResourceString cxSFilterBoxNonBlanksCaption{65152,
                                                                "(NonBlanks)"};

// An application's source of the filter's words; null (the default) reads
// the library's own resource strings.
using TcxFilterGetResourceStringFunc =
    String (*)(const TcxResourceString& AResString);
extern TcxFilterGetResourceStringFunc cxFilterGetResourceStringFunc;

// The current text of one of the strings above.
String cxSFilterString(const TcxResourceString& AResString);
