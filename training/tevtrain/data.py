"""Training batches: augmented S x S views of the training samples.

Each view is, with the probabilities below, a mosaic of four samples, a box-free crop of a
real image (a negative that looks like the data), or one sample at a random scale and
place; then a horizontal flip half the time and colour jitter.
"""
import numpy as np
import torch

from . import augment

MOSAIC = 0.4
BOX_FREE_CROP = 0.1


class Views:
    def __init__(self, samples, size, seed):
        self.samples = samples
        self.size = size
        self.rng = np.random.default_rng(seed)
        self.with_boxes = [s for s in samples if s.origin == "real" and len(s.boxes)]

    def _one(self, sample):
        return augment.random_view(sample.image, sample.boxes, self.size, self.rng)

    def view(self, index):
        rng = self.rng
        draw = rng.random()
        if draw < MOSAIC:
            picks = [self.samples[index]] + [self.samples[i] for i in
                                             rng.integers(0, len(self.samples), 3)]
            image, boxes = augment.mosaic([(s.image, s.boxes) for s in picks], self.size, rng)
        elif draw < MOSAIC + BOX_FREE_CROP and self.with_boxes:
            source = self.with_boxes[rng.integers(len(self.with_boxes))]
            crop = augment.box_free_crop(source.image, source.boxes, rng)
            if crop is None:
                image, boxes = self._one(self.samples[index])
            else:
                image, boxes = augment.random_view(crop, np.zeros((0, 5), np.float32),
                                                   self.size, rng, zoom=(0.8, 1.3))
        else:
            image, boxes = self._one(self.samples[index])
        if rng.random() < 0.5:
            image, boxes = augment.flip(image, boxes)
        image = augment.jitter_colour(image, rng)
        return image, boxes

    def batches(self, batch_size, size=None):
        """One epoch of (images N x 3 x S x S float RGB 0..1, list of n_i x 5 boxes)."""
        if size is not None:
            self.size = size
        order = self.rng.permutation(len(self.samples))
        for start in range(0, len(order) - batch_size + 1, batch_size):
            views = [self.view(i) for i in order[start:start + batch_size]]
            yield to_tensor([v[0] for v in views]), [v[1] for v in views]


def to_tensor(images):
    """BGR uint8 images -> N x 3 x S x S RGB float in 0..1, as the engine feeds the model."""
    array = np.stack(images)[..., ::-1].transpose(0, 3, 1, 2)
    return torch.from_numpy(np.ascontiguousarray(array)).float().div_(255.0)
