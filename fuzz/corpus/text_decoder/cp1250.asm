* Èas in števec
 LDAA #'ž
