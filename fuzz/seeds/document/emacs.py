# -*- mode: python; tab-width: 4; indent-tabs-mode: nil -*-
if x:
    y = 1
    if z:
        w = 2
