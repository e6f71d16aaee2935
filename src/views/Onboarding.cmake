# The first-run window's content: two animated screens, their button, symbols and check mark.
target_sources(lumatick_views PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/OnboardingButton.cpp
    ${CMAKE_CURRENT_LIST_DIR}/OnboardingButton.h
    ${CMAKE_CURRENT_LIST_DIR}/OnboardingCheckmarkShape.cpp
    ${CMAKE_CURRENT_LIST_DIR}/OnboardingCheckmarkShape.h
    ${CMAKE_CURRENT_LIST_DIR}/OnboardingCloseButton.cpp
    ${CMAKE_CURRENT_LIST_DIR}/OnboardingCloseButton.h
    ${CMAKE_CURRENT_LIST_DIR}/OnboardingConfirmationScreen.cpp
    ${CMAKE_CURRENT_LIST_DIR}/OnboardingConfirmationScreen.h
    ${CMAKE_CURRENT_LIST_DIR}/OnboardingCounterPreview.cpp
    ${CMAKE_CURRENT_LIST_DIR}/OnboardingCounterPreview.h
    ${CMAKE_CURRENT_LIST_DIR}/OnboardingStyle.h
    ${CMAKE_CURRENT_LIST_DIR}/OnboardingSymbol.cpp
    ${CMAKE_CURRENT_LIST_DIR}/OnboardingSymbol.h
    ${CMAKE_CURRENT_LIST_DIR}/OnboardingTimeline.cpp
    ${CMAKE_CURRENT_LIST_DIR}/OnboardingTimeline.h
    ${CMAKE_CURRENT_LIST_DIR}/OnboardingView.cpp
    ${CMAKE_CURRENT_LIST_DIR}/OnboardingView.h
    ${CMAKE_CURRENT_LIST_DIR}/OnboardingWelcomeScreen.cpp
    ${CMAKE_CURRENT_LIST_DIR}/OnboardingWelcomeScreen.h
)
