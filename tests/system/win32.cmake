# Pellwick.exe under Wine.
