# Warnings are errors in every target of the project, and the floating-point
# arithmetic is never contracted into fused multiply-adds, so that the audio
# path gives the same bits with every compiler and target.
add_compile_options(-Wall -Wextra -Werror -ffp-contract=off)
