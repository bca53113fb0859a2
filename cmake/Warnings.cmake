# Warnings are on in every target of the project; CI makes them errors with
# TOLVAN_WERROR, while a user's build never fails on a compiler's new warning. The
# floating-point arithmetic is never contracted into fused multiply-adds, so that the
# audio path gives the same bits with every compiler and target.
option(TOLVAN_WERROR "Treat warnings as errors" OFF)
add_compile_options(-Wall -Wextra -ffp-contract=off)
if(TOLVAN_WERROR)
  add_compile_options(-Werror)
endif()
