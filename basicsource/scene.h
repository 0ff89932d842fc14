// Choreography: building the cast and posing it for the current show time.
#pragma once

void ConstructScene();
void InitScene();
void AnimateScene();
